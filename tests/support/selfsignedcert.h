#pragma once
#include <memory>
#include <openssl/types.h>

namespace sentrel::test {

// A fresh key pair and a self-signed certificate for "localhost" and
// 127.0.0.1, made with OpenSSL when a test needs one; no file involved.
class SelfSignedCertificate {
public:
    enum class Validity { Current, Expired };
    explicit SelfSignedCertificate(Validity validity = Validity::Current);

    EVP_PKEY *key() const { return key_.get(); }
    X509 *certificate() const { return cert_.get(); }

private:
    struct KeyDeleter {
        void operator()(EVP_PKEY *k) const;
    };
    struct CertDeleter {
        void operator()(X509 *c) const;
    };
    std::unique_ptr<EVP_PKEY, KeyDeleter> key_;
    std::unique_ptr<X509, CertDeleter> cert_;
};

} // namespace sentrel::test
