// The messages of failed transfers and the checks made before connecting.
#include "fetch/requesturl.h"
#include "fetch/transfererror.h"
#include "support/qtext.h"
#include <cerrno>
#include <gtest/gtest.h>
#include <system_error>

namespace sentrel {
namespace {

QString systemText(int number)
{
    return QString::fromStdString(std::system_category().message(number));
}

struct MessageCase {
    const char *name;
    TransferFailure failure;
    QString message;
};

class TransferMessage : public testing::TestWithParam<MessageCase> {};

TEST_P(TransferMessage, MatchesTheUsersText)
{
    EXPECT_EQ(transferErrorMessage(GetParam().failure), GetParam().message);
}

TransferFailure failure(CURLcode code, long osErrno = 0, const char *detail = "", bool connected = false,
                        bool headComplete = false)
{
    return TransferFailure{code, osErrno, QByteArray(detail), connected, headComplete};
}

INSTANTIATE_TEST_SUITE_P(
    Failures, TransferMessage,
    testing::Values(
        MessageCase{"NameDoesNotResolve",
                    failure(CURLE_COULDNT_RESOLVE_HOST, 0, "Could not resolve host: nowhere"),
                    QStringLiteral("Socket Error # 11001\r\nHost not found.")},
        MessageCase{"ConnectPhaseTimeOut",
                    failure(CURLE_OPERATION_TIMEDOUT, 0, "Connection timed out after 10001 ms"),
                    QStringLiteral("Connect timed out.")},
        MessageCase{"TimeOutOnceConnected", failure(CURLE_OPERATION_TIMEDOUT, 0, "", true),
                    QStringLiteral("Read timed out.")},
        MessageCase{"NothingReceived", failure(CURLE_GOT_NOTHING, 0, "Empty reply from server", true),
                    QStringLiteral("Connection Closed Gracefully.")},
        MessageCase{"ClosedInsideTheHead", failure(CURLE_PARTIAL_FILE, 0, "", true, false),
                    QStringLiteral("Connection Closed Gracefully.")},
        MessageCase{"Refused", failure(CURLE_COULDNT_CONNECT, ECONNREFUSED, "Failed to connect"),
                    QStringLiteral("Socket Error # %1\r\n").arg(ECONNREFUSED) + systemText(ECONNREFUSED)},
        MessageCase{"ResetWhileReading", failure(CURLE_RECV_ERROR, ECONNRESET, "Recv failure", true),
                    QStringLiteral("Socket Error # %1\r\n").arg(ECONNRESET) + systemText(ECONNRESET)},
        MessageCase{"Unreachable", failure(CURLE_COULDNT_CONNECT, ENETUNREACH, ""),
                    QStringLiteral("Socket Error # %1\r\n").arg(ENETUNREACH) + systemText(ENETUNREACH)},
        MessageCase{"Handshake",
                    failure(CURLE_SSL_CONNECT_ERROR, 0, "error:0A00010B:SSL routines::wrong version number"),
                    QStringLiteral(
                        "Error connecting with SSL.\r\nerror:0A00010B:SSL routines::wrong version number")},
        MessageCase{"NoCommonCipher", failure(CURLE_SSL_CIPHER, 0, "no cipher match"),
                    QStringLiteral("Error connecting with SSL.\r\nno cipher match")},
        MessageCase{"TlsEngineMissing", failure(CURLE_SSL_ENGINE_INITFAILED),
                    QStringLiteral("Could not load SSL library.")},
        MessageCase{"OtherFaultKeepsCurlsText",
                    failure(CURLE_WEIRD_SERVER_REPLY, 0, "Unsupported HTTP version", true),
                    QStringLiteral("Unsupported HTTP version")},
        MessageCase{"OtherFaultWithoutDetail", failure(CURLE_URL_MALFORMAT),
                    QString::fromUtf8(curl_easy_strerror(CURLE_URL_MALFORMAT))}),
    [](const testing::TestParamInfo<MessageCase> &info) { return std::string(info.param.name); });

struct SchemeCase {
    const char *name;
    const char *url;
    bool tls;
    std::optional<QString> problem;
};

class SchemeCheck : public testing::TestWithParam<SchemeCase> {};

TEST_P(SchemeCheck, DecidesBeforeConnecting)
{
    EXPECT_EQ(schemeProblem(GetParam().url, GetParam().tls), GetParam().problem);
}

INSTANTIATE_TEST_SUITE_P(
    Schemes, SchemeCheck,
    testing::Values(SchemeCase{"Http", "http://example.test/", true, std::nullopt},
                    SchemeCase{"HttpsWithTls", "https://example.test/", true, std::nullopt},
                    SchemeCase{"SchemeLetterCase", "HTTPS://example.test/", true, std::nullopt},
                    SchemeCase{"HttpsWithoutTls", "https://example.test/", false,
                               QStringLiteral("Could not load SSL library.")},
                    SchemeCase{"HttpWithoutTlsStillWorks", "http://example.test/", false, std::nullopt},
                    SchemeCase{"NoSchemeIsHttp", "example.test/page", false, std::nullopt},
                    SchemeCase{"Ftp", "ftp://example.test/", true, QStringLiteral("Unknown Protocol")},
                    SchemeCase{"ForeignSchemeWithPort", "gopher://example.test:70/", true,
                               QStringLiteral("Unknown Protocol")}),
    [](const testing::TestParamInfo<SchemeCase> &info) { return std::string(info.param.name); });

TEST(RequestUrl, EncodesOnlyWhatCannotGoOnTheWire)
{
    EXPECT_EQ(encodeRequestUrl(u16(u"http://h\u00f6st.test/a b/\u00e9?q=x y&r=%41")),
              QByteArray("http://h\xC3\xB6st.test/a%20b/%C3%A9?q=x%20y&r=%41"));
    EXPECT_EQ(encodeRequestUrl(QStringLiteral("http://user:p@host/\t")),
              QByteArray("http://user:p@host/%09"));
}

} // namespace
} // namespace sentrel
