// Redirect chains: the count, Location resolution, cookies and connections.
#include "fetch/fetchtesting.h"
#include "support/qtext.h"
#include <gtest/gtest.h>

namespace sentrel::test {
namespace {

// Serves /hop/0 ... /hop/N-1 as redirects to the next hop and /hop/N as the page.
void serveChain(LoopbackServer &server, int redirects)
{
    server.onOther([redirects](const ReceivedRequest &r) {
        const int hop = std::stoi(r.target.substr(std::string("/hop/").size()));
        if (hop < redirects)
            return Reply::redirect(302, "/hop/" + std::to_string(hop + 1));
        return Reply::ok("landed after " + std::to_string(hop));
    });
}

class FetchRedirectCount : public testing::TestWithParam<int> {};

TEST_P(FetchRedirectCount, UpToNineteenRedirectsAreFollowed)
{
    const int redirects = GetParam();
    LoopbackServer server;
    serveChain(server, redirects);
    EXPECT_EQ(DownloadPage(server.url("/hop/0"), quickOptions()),
              QStringLiteral("landed after %1\r\n").arg(redirects));
    EXPECT_EQ(server.requests().size(), std::size_t(redirects + 1));
}

INSTANTIATE_TEST_SUITE_P(Chains, FetchRedirectCount, testing::Values(1, 2, 19));

class FetchRedirectLimit : public testing::TestWithParam<int> {};

TEST_P(FetchRedirectLimit, TheTwentiethRedirectFailsTheDownload)
{
    LoopbackServer server;
    serveChain(server, GetParam());
    EXPECT_EQ(fetchError(server.url("/hop/0")), u16(u"Too many redirects."));
    // The twentieth redirect is not followed.
    EXPECT_EQ(server.requests().size(), 20u);
}

INSTANTIATE_TEST_SUITE_P(Chains, FetchRedirectLimit, testing::Values(20, 21, 40));

TEST(FetchRedirect, ALoopEndsAtTheLimit)
{
    LoopbackServer server;
    server.on("/a", Reply::redirect(302, "/b"));
    server.on("/b", Reply::redirect(302, "/a"));
    EXPECT_EQ(fetchError(server.url("/a")), u16(u"Too many redirects."));
    EXPECT_EQ(server.requests().size(), 20u);
}

class FetchRedirectCode : public testing::TestWithParam<int> {};

TEST_P(FetchRedirectCode, IsFollowedWithGet)
{
    LoopbackServer server;
    server.on("/from", Reply::redirect(GetParam(), "/to"));
    server.on("/to", Reply::ok("arrived"));
    EXPECT_EQ(DownloadPage(server.url("/from"), quickOptions()), u16(u"arrived\r\n"));
    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[1].raw, expectedRequest("/to", hostPort(server)));
}

INSTANTIATE_TEST_SUITE_P(Codes, FetchRedirectCode, testing::Values(301, 302, 303, 307, 308));

struct LocationCase {
    const char *name;
    std::string from;
    std::string location;
    std::string to;
};

class FetchRelativeLocation : public testing::TestWithParam<LocationCase> {};

TEST_P(FetchRelativeLocation, IsResolvedAgainstTheRequestUrl)
{
    LoopbackServer server;
    const LocationCase &c = GetParam();
    std::string location = c.location;
    if (const auto at = location.find("PORT"); at != std::string::npos)
        location.replace(at, 4, std::to_string(server.port()));
    server.on(c.from, Reply::redirect(302, location));
    server.on(c.to, Reply::ok("resolved"));
    EXPECT_EQ(DownloadPage(server.url(c.from), quickOptions()), u16(u"resolved\r\n"));
    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[1].target, c.to);
}

INSTANTIATE_TEST_SUITE_P(Locations, FetchRelativeLocation,
                         testing::Values(LocationCase{"AbsolutePath", "/a/b", "/new/page", "/new/page"},
                                         LocationCase{"RelativePath", "/a/b", "c", "/a/c"},
                                         LocationCase{"DotSegments", "/a/b/c", "../x", "/a/x"},
                                         LocationCase{"QueryOnly", "/a/b", "?q=1", "/a/b?q=1"},
                                         LocationCase{"SchemeRelative", "/a", "//127.0.0.1:PORT/y", "/y"},
                                         LocationCase{"Absolute", "/a", "http://127.0.0.1:PORT/z", "/z"}),
                         [](const testing::TestParamInfo<LocationCase> &info) {
                             return std::string(info.param.name);
                         });

TEST(FetchRedirect, RelativeLocationOverHttpsKeepsSchemeHostAndPort)
{
    LoopbackServer server(TlsSettings{});
    server.on("/a/b", Reply::redirect(301, "/new/page"));
    server.on("/new/page", Reply::ok("secure page"));
    EXPECT_EQ(DownloadPage(server.url("/a/b", "localhost"), quickOptions()), u16(u"secure page\r\n"));
    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[1].raw, expectedRequest("/new/page", hostPort(server, "localhost")));
}

TEST(FetchRedirect, CanSwitchFromHttpToHttps)
{
    LoopbackServer secure(TlsSettings{});
    secure.on("/page", Reply::ok("over tls"));
    LoopbackServer plain;
    plain.on("/", Reply::redirect(301, secure.url("/page", "localhost").toStdString()));

    EXPECT_EQ(DownloadPage(plain.url(), quickOptions()), u16(u"over tls\r\n"));
    const auto requests = secure.requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].raw, expectedRequest("/page", hostPort(secure, "localhost")));
}

TEST(FetchRedirect, ChainOnOneServerSharesTheKeptAliveConnection)
{
    LoopbackServer server;
    server.on("/a", Reply::redirect(302, "/b"));
    server.on("/b", Reply::ok("same line"));
    DownloadPage(server.url("/a"), quickOptions());
    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].connection, requests[1].connection);
}

TEST(FetchRedirect, ToAnotherProtocolFails)
{
    LoopbackServer server;
    server.on("/", Reply::redirect(302, "ftp://127.0.0.1/file"));
    EXPECT_EQ(fetchError(server.url()), u16(u"Unknown Protocol"));
}

TEST(FetchCookies, SetByARedirectAreSentToItsTarget)
{
    LoopbackServer server;
    server.on("/login", Reply::redirect(302, "/page", "Set-Cookie: sid=abc123; Path=/\r\n"));
    server.onOther([](const ReceivedRequest &r) {
        return r.header("Cookie") == "sid=abc123" ? Reply::ok("welcome")
                                                  : Reply::status("HTTP/1.1 403 Forbidden", {}, {});
    });

    EXPECT_EQ(DownloadPage(server.url("/login"), quickOptions()), u16(u"welcome\r\n"));
    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 2u);
    // libcurl puts its Cookie header before the ones we add.
    EXPECT_EQ(requests[1].raw, expectedRequest("/page", hostPort(server), "Cookie: sid=abc123\r\n"));
}

TEST(FetchCookies, DoNotCarryOverToTheNextDownload)
{
    LoopbackServer server;
    server.on("/login", Reply::redirect(302, "/page", "Set-Cookie: sid=abc123; Path=/\r\n"));
    server.on("/page", Reply::ok("page"));

    DownloadPage(server.url("/login"), quickOptions());
    DownloadPage(server.url("/page"), quickOptions());
    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_EQ(requests[1].header("Cookie"), "sid=abc123");
    EXPECT_EQ(requests[2].raw, expectedRequest("/page", hostPort(server)));
}

TEST(FetchCookies, AreSentOnlyToMatchingPaths)
{
    // (The Secure flag cannot be shown here: 127.0.0.1 counts as a secure
    // origin for cookies even over plain http.)
    LoopbackServer server;
    server.on("/start", Reply::redirect(302, "/public/page",
                                        "Set-Cookie: area=private; Path=/private\r\n"
                                        "Set-Cookie: everywhere=yes; Path=/\r\n"));
    server.on("/public/page", Reply::ok("public"));
    DownloadPage(server.url("/start"), quickOptions());
    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[1].header("Cookie"), "everywhere=yes");
}

} // namespace
} // namespace sentrel::test
