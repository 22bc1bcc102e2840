// How responses end a download: status lines, framings, early closes.
#include "checking/fetchtesting.h"
#include "support/qtext.h"
#include <gtest/gtest.h>

namespace sentrel::test {
namespace {

using namespace std::chrono_literals;

struct FailureCase {
    const char *name;
    std::string reply;
    const char16_t *message;
};

class FetchFailingStatus : public testing::TestWithParam<FailureCase> {};

TEST_P(FetchFailingStatus, FailsWithTheStatusLineAsSent)
{
    LoopbackServer server;
    server.on("/", Reply(GetParam().reply));
    EXPECT_EQ(fetchError(server.url()), u16(GetParam().message));
}

INSTANTIATE_TEST_SUITE_P(
    Statuses, FetchFailingStatus,
    testing::Values(
        FailureCase{"NotFoundWithErrorPage",
                    "HTTP/1.1 404 Not Found\r\nContent-Type: text/html\r\nContent-Length: "
                    "22\r\n\r\n<h1>Nothing here</h1>\n",
                    u"HTTP/1.1 404 Not Found"},
        FailureCase{"Http10ServerError",
                    "HTTP/1.0 500 Internal Server Error\r\nContent-Length: 4\r\n\r\noops",
                    u"HTTP/1.0 500 Internal Server Error"},
        FailureCase{"ReasonPhraseKeptVerbatim",
                    "HTTP/1.1 503 Service  Unavailable (later)\r\nContent-Length: 0\r\n\r\n",
                    u"HTTP/1.1 503 Service  Unavailable (later)"},
        FailureCase{"NotModifiedIsNoRedirect", "HTTP/1.1 304 Not Modified\r\nLocation: /other\r\n\r\n",
                    u"HTTP/1.1 304 Not Modified"},
        FailureCase{"RedirectWithoutLocation", "HTTP/1.1 302 Found\r\nContent-Length: 0\r\n\r\n",
                    u"HTTP/1.1 302 Found"},
        FailureCase{
            "UnauthorizedWithoutCredentials",
            "HTTP/1.1 401 Unauthorized\r\nWWW-Authenticate: Basic realm=\"r\"\r\nContent-Length: 0\r\n\r\n",
            u"HTTP/1.1 401 Unauthorized"}),
    [](const testing::TestParamInfo<FailureCase> &info) { return std::string(info.param.name); });

struct BodyCase {
    const char *name;
    Reply reply;
    const char16_t *text;
};

class FetchBodyFraming : public testing::TestWithParam<BodyCase> {};

TEST_P(FetchBodyFraming, ReturnsTheBodyAsText)
{
    LoopbackServer server;
    server.on("/", GetParam().reply);
    EXPECT_EQ(DownloadPage(server.url(), quickOptions()), u16(GetParam().text));
}

INSTANTIATE_TEST_SUITE_P(
    Framings, FetchBodyFraming,
    testing::Values(
        BodyCase{"ContentLength", Reply::ok("one\ntwo"), u"one\r\ntwo\r\n"},
        BodyCase{
            "Chunked",
            Reply("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n4\r\none\n\r\n3\r\ntwo\r\n0\r\n\r\n"),
            u"one\r\ntwo\r\n"},
        BodyCase{"UntilClose", Reply("HTTP/1.0 200 OK\r\n\r\nall of it").close(), u"all of it\r\n"},
        BodyCase{"CutShortOfContentLength",
                 Reply("HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\npartial").close(), u"partial\r\n"},
        BodyCase{"ChunkedCutShort",
                 Reply("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n20\r\nhalf").close(),
                 u"half\r\n"},
        BodyCase{"OtherSuccessCode", Reply("HTTP/1.1 203 Non-Authoritative\r\nContent-Length: 2\r\n\r\nok"),
                 u"ok\r\n"},
        BodyCase{"NoContent", Reply("HTTP/1.1 204 No Content\r\n\r\n"), u""},
        BodyCase{"EmptyBody", Reply::ok(""), u""},
        BodyCase{"ContinueIsSkipped",
                 Reply("HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nfinal"),
                 u"final\r\n"},
        BodyCase{"FoldedHeaderLine",
                 Reply("HTTP/1.1 200 OK\r\nContent-Type: text/plain;\r\n charset=utf-8\r\nContent-Length: "
                       "2\r\n\r\n\xC3\xA9"),
                 u"\u00e9\r\n"}),
    [](const testing::TestParamInfo<BodyCase> &info) { return std::string(info.param.name); });

TEST(FetchResponse, ContinueBeforeAnErrorReportsTheFinalStatusLine)
{
    LoopbackServer server;
    server.on("/", Reply("HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 410 Gone\r\nContent-Length: 0\r\n\r\n"));
    EXPECT_EQ(fetchError(server.url()), u16(u"HTTP/1.1 410 Gone"));
}

class FetchClosedEarly : public testing::TestWithParam<std::pair<const char *, Reply>> {};

TEST_P(FetchClosedEarly, ReportsAGracefulClose)
{
    LoopbackServer server;
    server.on("/", GetParam().second);
    EXPECT_EQ(fetchError(server.url()), u16(u"Connection Closed Gracefully."));
}

INSTANTIATE_TEST_SUITE_P(
    Closes, FetchClosedEarly,
    testing::Values(std::pair{"BeforeAnyByte", Reply::closeNow()},
                    std::pair{"InsideTheStatusLine", Reply("HTTP/1.1 20").close()},
                    std::pair{"InsideTheHeaders", Reply("HTTP/1.1 200 OK\r\nContent-Le").close()},
                    std::pair{"AfterAContinue", Reply("HTTP/1.1 100 Continue\r\n\r\n").close()}),
    [](const auto &info) { return std::string(info.param.first); });

} // namespace
} // namespace sentrel::test
