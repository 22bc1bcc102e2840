// The request bytes the fetcher puts on the wire.
#include "fetch/fetchtesting.h"
#include "support/qtext.h"
#include <gtest/gtest.h>

namespace sentrel::test {
namespace {

TEST(FetchRequest, SendsGetWithTheFixedHeadersInOrder)
{
    LoopbackServer server;
    server.on("/page?x=1&y=2", Reply::ok("hi"));
    DownloadPage(server.url("/page?x=1&y=2"), quickOptions());

    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].raw, expectedRequest("/page?x=1&y=2", hostPort(server)));
}

struct TargetCase {
    const char *name;
    std::string urlTail; // what follows http://127.0.0.1:PORT
    std::string target;  // what the request line must carry
};

class FetchRequestTarget : public testing::TestWithParam<TargetCase> {};

TEST_P(FetchRequestTarget, RequestLineCarriesPathAndQuery)
{
    LoopbackServer server;
    server.on(GetParam().target, Reply::ok("hi"));
    DownloadPage(server.url(GetParam().urlTail), quickOptions());
    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].raw, expectedRequest(GetParam().target, hostPort(server)));
}

INSTANTIATE_TEST_SUITE_P(
    Urls, FetchRequestTarget,
    testing::Values(TargetCase{"NoPathMeansRoot", "", "/"},
                    TargetCase{"FragmentStaysLocal", "/a?b=1#part", "/a?b=1"},
                    TargetCase{"BlankIsPercentEncoded", "/a b", "/a%20b"},
                    TargetCase{"NonAsciiIsSentAsUtf8PercentEncoded", "/caf\xC3\xA9", "/caf%C3%A9"},
                    TargetCase{"PercentEscapesAreKept", "/a%2Fb?q=%41", "/a%2Fb?q=%41"}),
    [](const testing::TestParamInfo<TargetCase> &info) { return std::string(info.param.name); });

TEST(FetchRequest, EachDownloadUsesItsOwnConnection)
{
    LoopbackServer server;
    server.on("/", Reply::ok("same"));
    DownloadPage(server.url(), quickOptions());
    DownloadPage(server.url(), quickOptions());

    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_NE(requests[0].connection, requests[1].connection);
}

TEST(FetchRequest, IgnoresProxyFromTheEnvironment)
{
    LoopbackServer server;
    server.on("/", Reply::ok("direct"));
    const std::uint16_t nowhere = closedPort();
    const std::string proxy = "http://127.0.0.1:" + std::to_string(nowhere);
    ::setenv("http_proxy", proxy.c_str(), 1);
    ::setenv("HTTP_PROXY", proxy.c_str(), 1);
    const QString text = fetchError(server.url());
    ::unsetenv("http_proxy");
    ::unsetenv("HTTP_PROXY");
    EXPECT_EQ(text, u16(u"<no error>"));
    EXPECT_EQ(server.requests().size(), 1u);
}

} // namespace
} // namespace sentrel::test
