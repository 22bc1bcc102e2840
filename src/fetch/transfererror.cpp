#include "fetch/transfererror.h"
#include <system_error>

namespace sentrel {

namespace {

// The number the program has always reported for a name that does not
// resolve; resolvers give no errno of their own.
constexpr long hostNotFoundNumber = 11001;

QString curlText(const TransferFailure &f)
{
    const QByteArray detail = f.detail.trimmed();
    return QString::fromUtf8(detail.isEmpty() ? QByteArray(curl_easy_strerror(f.code)) : detail);
}

bool isTlsFailure(CURLcode code)
{
    switch (code) {
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_SSL_CIPHER:
    case CURLE_SSL_CERTPROBLEM:
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_ISSUER_ERROR:
    case CURLE_SSL_INVALIDCERTSTATUS:
    case CURLE_SSL_PINNEDPUBKEYNOTMATCH:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_CRL_BADFILE:
    case CURLE_SSL_SHUTDOWN_FAILED:
        return true;
    default:
        return false;
    }
}

bool isTlsUnavailable(CURLcode code)
{
    return code == CURLE_SSL_ENGINE_NOTFOUND || code == CURLE_SSL_ENGINE_SETFAILED ||
           code == CURLE_SSL_ENGINE_INITFAILED;
}

} // namespace

QString socketErrorMessage(long number, const QString &description)
{
    return QStringLiteral("Socket Error # %1\r\n%2").arg(number).arg(description);
}

QString transferErrorMessage(const TransferFailure &f)
{
    switch (f.code) {
    case CURLE_COULDNT_RESOLVE_HOST:
        return socketErrorMessage(hostNotFoundNumber, QStringLiteral("Host not found."));
    case CURLE_OPERATION_TIMEDOUT:
        return f.connected ? QStringLiteral("Read timed out.") : QStringLiteral("Connect timed out.");
    case CURLE_GOT_NOTHING:
        return QStringLiteral("Connection Closed Gracefully.");
    default:
        break;
    }
    // A close in the middle of the head is the same event for the user as a
    // close before it: no response to work with.
    if (f.connected && !f.headComplete && f.osErrno == 0 &&
        (f.code == CURLE_PARTIAL_FILE || f.code == CURLE_RECV_ERROR))
        return QStringLiteral("Connection Closed Gracefully.");
    if (isTlsFailure(f.code))
        return QStringLiteral("Error connecting with SSL.\r\n") + curlText(f);
    if (isTlsUnavailable(f.code))
        return QStringLiteral("Could not load SSL library.");
    if ((f.code == CURLE_COULDNT_CONNECT || f.code == CURLE_SEND_ERROR || f.code == CURLE_RECV_ERROR) &&
        f.osErrno != 0)
        return socketErrorMessage(f.osErrno,
                                  QString::fromStdString(std::system_category().message(int(f.osErrno))));
    return curlText(f);
}

} // namespace sentrel
