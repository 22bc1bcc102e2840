// Bodies over the wire: content codings, character sets, the size ceiling.
#include "fetch/fetchtesting.h"
#include "support/compression.h"
#include "support/qtext.h"
#include <gtest/gtest.h>

namespace sentrel::test {
namespace {

using namespace std::chrono_literals;

const std::string kPage = "<html><body>\n<p>Caf\xC3\xA9 prices</p>\n<p>tea 2.50</p>\n</body></html>\n";
const std::string kUtf8Html = "Content-Type: text/html; charset=utf-8\r\n";

struct EncodedCase {
    const char *name;
    std::string coding;
    std::string (*encode)(std::string_view);
    bool chunked;
};

std::string asIs(std::string_view s)
{
    return std::string(s);
}

std::string chunkedBody(const std::string &body)
{
    // Two chunks, to show the framing is undone before the content coding.
    const std::size_t half = body.size() / 2;
    auto hex = [](std::size_t n) {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%zx", n);
        return std::string(buf);
    };
    return hex(half) + "\r\n" + body.substr(0, half) + "\r\n" + hex(body.size() - half) + "\r\n" +
           body.substr(half) + "\r\n0\r\n\r\n";
}

class FetchContentCoding : public testing::TestWithParam<EncodedCase> {};

TEST_P(FetchContentCoding, GivesTheSameTextAsThePlainPage)
{
    const EncodedCase &c = GetParam();
    LoopbackServer server;
    server.on("/plain", Reply::ok(kPage, kUtf8Html));
    const std::string encoded = c.encode(kPage);
    const std::string coding = c.coding.empty() ? "" : "Content-Encoding: " + c.coding + "\r\n";
    if (c.chunked)
        server.on("/coded", Reply("HTTP/1.1 200 OK\r\n" + kUtf8Html + coding +
                                  "Transfer-Encoding: chunked\r\n\r\n" + chunkedBody(encoded)));
    else
        server.on("/coded", Reply::ok(encoded, kUtf8Html + coding));

    const QString plain = DownloadPage(server.url("/plain"), quickOptions());
    EXPECT_EQ(DownloadPage(server.url("/coded"), quickOptions()), plain);
    EXPECT_TRUE(plain.contains(u16(u"<p>Caf\u00e9 prices</p>\r\n")));
}

INSTANTIATE_TEST_SUITE_P(Codings, FetchContentCoding,
                         testing::Values(EncodedCase{"Gzip", "gzip", gzipped, false},
                                         EncodedCase{"GzipChunked", "gzip", gzipped, true},
                                         EncodedCase{"DeflateZlibWrapped", "deflate", zlibWrapped, false},
                                         EncodedCase{"DeflateRaw", "deflate", rawDeflated, false},
                                         EncodedCase{"CodingNameInUpperCase", "GZIP", gzipped, false},
                                         EncodedCase{"Identity", "identity", asIs, false}),
                         [](const testing::TestParamInfo<EncodedCase> &info) {
                             return std::string(info.param.name);
                         });

TEST(FetchBody, UnknownContentCodingIsLeftAsItIs)
{
    LoopbackServer server;
    server.on("/", Reply::ok("\x01packed", "Content-Encoding: br\r\n"));
    EXPECT_EQ(DownloadPage(server.url(), quickOptions()), u16(u"\u0001packed\r\n"));
}

TEST(FetchBody, CorruptGzipFailsWithTheDecodersMessage)
{
    LoopbackServer server;
    server.on("/", Reply::ok("this is not gzip", "Content-Encoding: gzip\r\n"));
    EXPECT_EQ(fetchError(server.url()), u16(u"incorrect header check"));
}

TEST(FetchBody, MetaCharsetBeatsTheHeader)
{
    LoopbackServer server;
    server.on("/", Reply::ok("<html><head><meta charset=\"utf-8\"></head><body>caf\xC3\xA9</body></html>",
                             "Content-Type: text/html; charset=ISO-8859-1\r\n"));
    EXPECT_TRUE(DownloadPage(server.url(), quickOptions()).contains(u16(u"caf\u00e9</body>")));
}

TEST(FetchBody, JsonWithoutCharsetMapsEachByteToOneCharacter)
{
    // Bytes that are no UTF-8; valid UTF-8 would be read as such.
    LoopbackServer server;
    server.on("/", Reply::ok("{\"name\":\"caf\xE9 \x80\"}", "Content-Type: application/json\r\n"));
    EXPECT_EQ(DownloadPage(server.url(), quickOptions()), u16(u"{\"name\":\"caf\u00e9 \u0080\"}\r\n"));
}

TEST(FetchBody, PageDeclaringNoCharsetIsReadAsUtf8WhenItIsValidUtf8)
{
    LoopbackServer server;
    server.on("/", Reply::ok("<html><body>caf\xC3\xA9</body></html>", "Content-Type: text/html\r\n"));
    EXPECT_EQ(DownloadPage(server.url(), quickOptions()), u16(u"<html><body>caf\u00e9</body></html>\r\n"));
}

FetchOptions withLimit(qsizetype bytes)
{
    FetchOptions o = quickOptions();
    o.maxBodyBytes = bytes;
    return o;
}

TEST(FetchBodyLimit, BodyOfExactlyTheLimitIsKept)
{
    LoopbackServer server;
    server.on("/", Reply::ok(std::string(1000, 'a')));
    EXPECT_EQ(DownloadPage(server.url(), withLimit(1000)).size(), 1002);
}

struct LimitCase {
    const char *name;
    Reply reply;
};

class FetchBodyLimitExceeded : public testing::TestWithParam<LimitCase> {};

TEST_P(FetchBodyLimitExceeded, FailsWithAClearMessage)
{
    LoopbackServer server;
    server.on("/", GetParam().reply);
    EXPECT_EQ(fetchError(server.url(), withLimit(1000)), u16(u"The page is larger than 1000 bytes."));
}

INSTANTIATE_TEST_SUITE_P(
    Bodies, FetchBodyLimitExceeded,
    testing::Values(LimitCase{"OneByteTooMany", Reply::ok(std::string(1001, 'a'))},
                    LimitCase{"OneByteTooManyWithoutLength",
                              Reply("HTTP/1.1 200 OK\r\n\r\n" + std::string(1001, 'a')).close()},
                    // Refused on the announcement: the body never comes.
                    LimitCase{"AnnouncedLengthBeyondTheLimit",
                              Reply("HTTP/1.1 200 OK\r\nContent-Length: 5000000\r\n\r\n").pause(10s)},
                    // Without the ceiling during the transfer the pause would end the
                    // download with a read time-out instead.
                    LimitCase{"EndlessBodyIsStoppedWhileReceiving",
                              Reply("HTTP/1.1 200 OK\r\n\r\n" + std::string(4000, 'a')).pause(10s)},
                    LimitCase{"ErrorPageIsBoundedToo",
                              Reply("HTTP/1.1 404 Not Found\r\n\r\n" + std::string(4000, 'a')).pause(10s)},
                    LimitCase{"CompressedBodyInflatingPastTheLimit",
                              Reply::ok(gzipped(std::string(100000, 'a')), "Content-Encoding: gzip\r\n")}),
    [](const testing::TestParamInfo<LimitCase> &info) { return std::string(info.param.name); });

TEST(FetchBodyLimit, DefaultCeilingIsSixtyFourMebibytes)
{
    EXPECT_EQ(FetchOptions{}.maxBodyBytes, qsizetype(64) * 1024 * 1024);
    EXPECT_EQ(BodyTooLargeError(FetchOptions{}.maxBodyBytes).message(),
              u16(u"The page is larger than 64 MiB."));
}

} // namespace
} // namespace sentrel::test
