// Connection failures and time-outs, all on 127.0.0.1.
#include "fetch/fetchtesting.h"
#include "support/qtext.h"
#include <cerrno>
#include <gtest/gtest.h>
#include <system_error>

namespace sentrel::test {
namespace {

using namespace std::chrono_literals;

FetchOptions withTimeouts(std::chrono::milliseconds connect, std::chrono::milliseconds read)
{
    FetchOptions o;
    o.connectTimeout = connect;
    o.readTimeout = read;
    return o;
}

TEST(FetchNetwork, RefusedConnectionIsASocketError)
{
    const QString url = QStringLiteral("http://127.0.0.1:%1/").arg(closedPort());
    const QString expected = QStringLiteral("Socket Error # %1\r\n").arg(ECONNREFUSED) +
                             QString::fromStdString(std::system_category().message(ECONNREFUSED));
    EXPECT_EQ(fetchError(url), expected);
}

TEST(FetchNetwork, UnansweredConnectTimesOut)
{
    UnansweredListener listener;
    EXPECT_EQ(fetchError(listener.url(), withTimeouts(300ms, 5000ms)), u16(u"Connect timed out."));
}

class FetchSilence : public testing::TestWithParam<std::pair<const char *, Reply>> {};

TEST_P(FetchSilence, NoDataForTheReadTimeOutFails)
{
    LoopbackServer server;
    server.on("/", GetParam().second);
    server.on("/silent", Reply().pause(5s));
    EXPECT_EQ(fetchError(server.url(), withTimeouts(3000ms, 300ms)), u16(u"Read timed out."));
}

INSTANTIATE_TEST_SUITE_P(
    Silences, FetchSilence,
    testing::Values(std::pair{"BeforeTheStatusLine", Reply().pause(5s)},
                    std::pair{"InsideTheHead", Reply("HTTP/1.1 200 OK\r\nContent-").pause(5s)},
                    std::pair{"InsideTheBody",
                              Reply("HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\nabc").pause(5s)},
                    std::pair{"AfterARedirect", Reply::redirect(302, "/silent")}),
    [](const auto &info) { return std::string(info.param.first); });

TEST(FetchNetwork, ReadTimeOutCountsFromTheLastByteNotTheStart)
{
    // Eight pieces 100 ms apart: 0.8 s in all, beyond the 600 ms read
    // time-out, but never long without data.
    Reply reply("HTTP/1.1 200 OK\r\nContent-Length: 8\r\n\r\n");
    for (char c : std::string("abcdefgh"))
        reply.pause(100ms).send(std::string(1, c));
    LoopbackServer server;
    server.on("/", reply);
    EXPECT_EQ(DownloadPage(server.url(), withTimeouts(3000ms, 600ms)), u16(u"abcdefgh\r\n"));
}

struct SchemeCase {
    const char *name;
    std::string url;
};

class FetchForeignScheme : public testing::TestWithParam<SchemeCase> {};

TEST_P(FetchForeignScheme, IsAnUnknownProtocol)
{
    LoopbackServer server; // a port that would answer, to show nothing is sent
    std::string url = GetParam().url;
    if (const auto at = url.find("PORT"); at != std::string::npos)
        url.replace(at, 4, std::to_string(server.port()));
    EXPECT_EQ(fetchError(QString::fromStdString(url)), u16(u"Unknown Protocol"));
    EXPECT_TRUE(server.requests().empty());
}

INSTANTIATE_TEST_SUITE_P(Schemes, FetchForeignScheme,
                         testing::Values(SchemeCase{"Ftp", "ftp://127.0.0.1/file"},
                                         SchemeCase{"FtpWithPort", "ftp://127.0.0.1:PORT/file"},
                                         SchemeCase{"HttpLookalike", "httpx://127.0.0.1:PORT/"},
                                         SchemeCase{"LocalFile", "file:///etc/hostname"}),
                         [](const testing::TestParamInfo<SchemeCase> &info) {
                             return std::string(info.param.name);
                         });

TEST(FetchNetwork, UrlWithoutSchemeIsHttp)
{
    LoopbackServer server;
    server.on("/x", Reply::ok("guessed"));
    EXPECT_EQ(DownloadPage(QStringLiteral("127.0.0.1:%1/x").arg(server.port()), quickOptions()),
              u16(u"guessed\r\n"));
}

} // namespace
} // namespace sentrel::test
