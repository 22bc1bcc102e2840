#include "support/selfsignedcert.h"
#include <openssl/evp.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>
#include <stdexcept>

namespace sentrel::test {

namespace {

void require(bool ok, const char *what)
{
    if (!ok)
        throw std::runtime_error(std::string("self-signed certificate: ") + what);
}

void addExtension(X509 *cert, int nid, const char *value)
{
    X509V3_CTX ctx;
    X509V3_set_ctx_nodb(&ctx);
    X509V3_set_ctx(&ctx, cert, cert, nullptr, nullptr, 0);
    X509_EXTENSION *ext = X509V3_EXT_conf_nid(nullptr, &ctx, nid, value);
    require(ext != nullptr, "extension");
    X509_add_ext(cert, ext, -1);
    X509_EXTENSION_free(ext);
}

} // namespace

void SelfSignedCertificate::KeyDeleter::operator()(EVP_PKEY *k) const
{
    EVP_PKEY_free(k);
}
void SelfSignedCertificate::CertDeleter::operator()(X509 *c) const
{
    X509_free(c);
}

SelfSignedCertificate::SelfSignedCertificate(Validity validity)
{
    // P-256 is quick to generate and works from TLS 1.0 to 1.3.
    key_.reset(EVP_EC_gen("P-256"));
    require(key_ != nullptr, "key");
    cert_.reset(X509_new());
    require(cert_ != nullptr, "certificate");
    X509 *cert = cert_.get();
    X509_set_version(cert, 2);
    ASN1_INTEGER_set(X509_get_serialNumber(cert), 1);
    constexpr long day = 24L * 60 * 60;
    if (validity == Validity::Expired) {
        X509_gmtime_adj(X509_getm_notBefore(cert), -30 * day);
        X509_gmtime_adj(X509_getm_notAfter(cert), -1 * day);
    } else {
        X509_gmtime_adj(X509_getm_notBefore(cert), -1 * day);
        X509_gmtime_adj(X509_getm_notAfter(cert), 30 * day);
    }
    X509_set_pubkey(cert, key_.get());
    X509_NAME *name = X509_get_subject_name(cert);
    X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC, reinterpret_cast<const unsigned char *>("localhost"),
                               -1, -1, 0);
    X509_set_issuer_name(cert, name);
    addExtension(cert, NID_subject_alt_name, "DNS:localhost,IP:127.0.0.1");
    require(X509_sign(cert, key_.get(), EVP_sha256()) > 0, "signature");
}

} // namespace sentrel::test
