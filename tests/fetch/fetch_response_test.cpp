// How responses end a download: status lines, framings, early closes.
#include "fetch/fetchtesting.h"
#include "support/compression.h"
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
            u"HTTP/1.1 401 Unauthorized"},
        // The connection stays open: the close delimiter alone ends the body.
        FailureCase{"MultipartErrorPageWithoutLength",
                    "HTTP/1.1 503 Service Unavailable\r\nContent-Type: multipart/mixed; boundary=b1\r\n\r\n"
                    "--b1\r\n\r\ndown\r\n--b1--\r\n",
                    u"HTTP/1.1 503 Service Unavailable"}),
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
        // The server keeps the connection open after each of these: the
        // close delimiter ends the body, and what follows it is dropped.
        BodyCase{
            "MultipartEndsAtItsCloseDelimiter",
            Reply("HTTP/1.1 200 OK\r\nContent-Type: multipart/mixed; boundary=XyZ\r\n\r\n"
                  "--XyZ\r\nContent-Type: text/plain\r\n\r\npart one\r\n--XyZ\r\n\r\npart two\r\n"
                  "--XyZ--\r\nepilogue"),
            u"--XyZ\r\nContent-Type: text/plain\r\n\r\npart one\r\n--XyZ\r\n\r\npart two\r\n--XyZ--\r\n"},
        BodyCase{"MultipartWithQuotedBoundary",
                 Reply("HTTP/1.0 200 OK\r\nContent-Type: multipart/byteranges; boundary=\"a b:c\"\r\n\r\n"
                       "--a b:c\r\n\r\nrange\r\n--a b:c--epilogue\r\n"),
                 u"--a b:c\r\n\r\nrange\r\n--a b:c--\r\n"},
        // With a length or chunks the library frames the body: a close
        // delimiter inside it ends nothing.
        BodyCase{
            "MultipartWithContentLength",
            Reply::ok("--q\r\none\r\n--q--\r\nepilogue", "Content-Type: multipart/mixed; boundary=q\r\n"),
            u"--q\r\none\r\n--q--\r\nepilogue\r\n"},
        BodyCase{"MultipartChunked",
                 Reply("HTTP/1.1 200 OK\r\nContent-Type: multipart/mixed; boundary=q\r\n"
                       "Transfer-Encoding: chunked\r\n\r\n13\r\n--q\r\none\r\n--q--\r\nep\r\n0\r\n\r\n"),
                 u"--q\r\none\r\n--q--\r\nep\r\n"},
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

struct CutCase {
    const char *name;
    Reply reply;
};

class FetchCutShort : public testing::TestWithParam<CutCase> {};

TEST_P(FetchCutShort, IsAFailedDownload)
{
    LoopbackServer server;
    server.on("/", GetParam().reply);
    EXPECT_EQ(fetchError(server.url()), u16(u"The connection closed before the page was complete."));
}

// Long enough that its compressed form spans several deflate symbols.
const std::string kLongPage = [] {
    std::string page;
    for (int i = 0; i < 400; ++i)
        page += "<p>row " + std::to_string(i * 7919 % 10007) + "</p>\n";
    return page;
}();

// A compressed body whose length is right for what is sent, so the transfer
// is complete but the compressed stream is not.
Reply compressedButCut(const char *coding, const std::string &compressed, std::size_t cut)
{
    return Reply::ok(compressed.substr(0, compressed.size() - cut),
                     std::string("Content-Encoding: ") + coding + "\r\n");
}

INSTANTIATE_TEST_SUITE_P(
    Bodies, FetchCutShort,
    testing::Values(
        CutCase{"ShortOfContentLength",
                Reply("HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\npartial").close()},
        CutCase{"GzipShortOfContentLength",
                Reply("HTTP/1.1 200 OK\r\nContent-Encoding: gzip\r\nContent-Length: 5000\r\n\r\n" +
                      gzipped(kLongPage).substr(0, 200))
                    .close()},
        CutCase{
            "ChunkedWithoutItsLastChunk",
            Reply("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n4\r\none\n\r\n3\r\ntwo\r\n").close()},
        CutCase{"ChunkedCutInsideAChunk",
                Reply("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n20\r\nhalf").close()},
        CutCase{"GzipWithoutItsTrailer", compressedButCut("gzip", gzipped(kLongPage), 8)},
        CutCase{"GzipCutInTheData",
                compressedButCut("gzip", gzipped(kLongPage), gzipped(kLongPage).size() / 2)},
        CutCase{"ZlibDeflateWithoutItsChecksum", compressedButCut("deflate", zlibWrapped(kLongPage), 4)},
        CutCase{"RawDeflateCutInTheData",
                compressedButCut("deflate", rawDeflated(kLongPage), rawDeflated(kLongPage).size() / 2)}),
    [](const testing::TestParamInfo<CutCase> &info) { return std::string(info.param.name); });

TEST(FetchResponse, ErrorPageCutShortStillReportsItsStatusLine)
{
    // The body of a failed response is not kept, so its end does not matter.
    LoopbackServer server;
    server.on("/", Reply("HTTP/1.1 404 Not Found\r\nContent-Length: 100\r\n\r\n<h1>gone").close());
    EXPECT_EQ(fetchError(server.url()), u16(u"HTTP/1.1 404 Not Found"));
}

TEST(FetchResponse, RedirectWithAMultipartBodyIsFollowedAtItsCloseDelimiter)
{
    // The connection stays open after the redirect; the chain goes on
    // without waiting for it to close.
    LoopbackServer server;
    server.on("/from",
              Reply("HTTP/1.1 302 Found\r\nLocation: /to\r\n"
                    "Content-Type: multipart/alternative; boundary=m\r\n\r\n--m\r\n\r\nmoved\r\n--m--\r\n"));
    server.on("/to", Reply::ok("arrived"));
    EXPECT_EQ(DownloadPage(server.url("/from"), quickOptions()), u16(u"arrived\r\n"));
    EXPECT_EQ(server.requests().size(), 2u);
}

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
