// https downloads against the loopback server's self-signed certificate.
#include "fetch/fetchtesting.h"
#include "support/qtext.h"
#include <gtest/gtest.h>
#include <openssl/ssl.h>

namespace sentrel::test {
namespace {

TEST(FetchTls, SelfSignedCertificateIsAcceptedAndSniSent)
{
    LoopbackServer server(TlsSettings{});
    server.on("/", Reply::ok("secret page"));
    EXPECT_EQ(DownloadPage(server.url("/", "localhost"), quickOptions()), u16(u"secret page\r\n"));
    EXPECT_EQ(server.serverNames(), std::vector<std::string>{"localhost"});
    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].raw, expectedRequest("/", hostPort(server, "localhost")));
}

TEST(FetchTls, ExpiredCertificateIsAccepted)
{
    LoopbackServer server(TlsSettings{0, 0, /*expiredCertificate=*/true});
    server.on("/", Reply::ok("old but fine"));
    EXPECT_EQ(DownloadPage(server.url("/", "localhost"), quickOptions()), u16(u"old but fine\r\n"));
}

TEST(FetchTls, NoServerNameForAnAddress)
{
    // Server name indication carries host names only; an IP literal sends none.
    LoopbackServer server(TlsSettings{});
    server.on("/", Reply::ok("by address"));
    EXPECT_EQ(DownloadPage(server.url(), quickOptions()), u16(u"by address\r\n"));
    EXPECT_EQ(server.serverNames(), std::vector<std::string>{""});
}

struct VersionCase {
    const char *name;
    int serverVersion;
};

class FetchTlsVersion : public testing::TestWithParam<VersionCase> {};

TEST_P(FetchTlsVersion, EveryVersionFromTls10ToTls13IsOffered)
{
    LoopbackServer server(TlsSettings{GetParam().serverVersion, GetParam().serverVersion});
    server.on("/", Reply::ok("negotiated"));
    EXPECT_EQ(fetchError(server.url("/", "localhost")), u16(u"<no error>"));
}

INSTANTIATE_TEST_SUITE_P(
    Versions, FetchTlsVersion,
    testing::Values(VersionCase{"Tls10", TLS1_VERSION}, VersionCase{"Tls11", TLS1_1_VERSION},
                    VersionCase{"Tls12", TLS1_2_VERSION}, VersionCase{"Tls13", TLS1_3_VERSION}),
    [](const testing::TestParamInfo<VersionCase> &info) { return std::string(info.param.name); });

TEST(FetchTls, RefusedHandshakeFailsWithTheTlsDetail)
{
    // Up to TLS 1.2 the server refuses a client without a certificate inside
    // the handshake itself.
    LoopbackServer server(TlsSettings{.maxVersion = TLS1_2_VERSION, .requireClientCertificate = true});
    server.on("/", Reply::ok("unreachable"));
    const QString message = fetchError(server.url("/", "localhost"));
    EXPECT_TRUE(message.startsWith(u16(u"Error connecting with SSL.\r\n"))) << message.toStdString();
    EXPECT_GT(message.size(), QStringLiteral("Error connecting with SSL.\r\n").size())
        << "the TLS detail follows";
}

} // namespace
} // namespace sentrel::test
