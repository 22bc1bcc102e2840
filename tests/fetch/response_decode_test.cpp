// Response decoding without a socket: codings, character sets, line ends.
#include "fetch/charsetdecode.h"
#include "fetch/responsedecoder.h"
#include "support/compression.h"
#include "support/qtext.h"
#include "text/error.h"
#include <gtest/gtest.h>

namespace sentrel {
namespace {

ResponseHead headWith(std::initializer_list<QPair<QByteArray, QByteArray>> headers)
{
    ResponseHead head;
    head.statusLine = "HTTP/1.1 200 OK";
    head.headers = headers;
    return head;
}

ResponseHead typed(const char *contentType)
{
    return headWith({{"Content-Type", contentType}});
}

struct CharsetCase {
    const char *name;
    const char *contentType; // nullptr: no Content-Type header
    std::string body;
    std::u16string_view text;
};

class DecodeCharset : public testing::TestWithParam<CharsetCase> {};

TEST_P(DecodeCharset, PicksTheCharsetByPrecedence)
{
    const CharsetCase &c = GetParam();
    const ResponseHead head = c.contentType ? typed(c.contentType) : headWith({});
    EXPECT_EQ(decodeResponse(head, QByteArray::fromStdString(c.body)), u16(c.text));
}

// "é" in UTF-8 is C3 A9; read byte by byte it is "Ã©".
INSTANTIATE_TEST_SUITE_P(
    Precedence, DecodeCharset,
    testing::Values(
        CharsetCase{"MetaCharsetBeatsHeader", "text/html; charset=ISO-8859-1",
                    "<meta charset=\"utf-8\">\xC3\xA9", u"<meta charset=\"utf-8\">\u00e9\r\n"},
        CharsetCase{
            "HttpEquivBeatsHeader", "text/html; charset=utf-8",
            "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=windows-1252\">\x80",
            u"<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=windows-1252\">\u20ac\r\n"},
        // Under the header's UTF-8 the lone E9 would be U+FFFD.
        CharsetCase{"HttpEquivWithoutCharsetReplacesHeaderType", "text/html; charset=utf-8",
                    "<meta http-equiv=content-type content=text/html>\xE9",
                    u"<meta http-equiv=content-type content=text/html>\u00e9\r\n"},
        CharsetCase{"UnquotedMetaCharset", "text/html", "<meta charset=utf-8>\xC3\xA9",
                    u"<meta charset=utf-8>\u00e9\r\n"},
        CharsetCase{"MetaInACommentIsIgnored", "text/html; charset=ISO-8859-1",
                    "<!-- <meta charset=\"utf-8\"> -->\xC3\xA9",
                    u"<!-- <meta charset=\"utf-8\"> -->\u00c3\u00a9\r\n"},
        CharsetCase{"MetaInsideAnAttributeValueIsIgnored", "text/html; charset=ISO-8859-1",
                    "<div title='<meta charset=\"utf-8\">'>\xC3\xA9",
                    u"<div title='<meta charset=\"utf-8\">'>\u00c3\u00a9\r\n"},
        CharsetCase{"FirstMetaWins", "text/html", "<meta charset=utf-8><meta charset=iso-8859-1>\xC3\xA9",
                    u"<meta charset=utf-8><meta charset=iso-8859-1>\u00e9\r\n"},
        CharsetCase{"XhtmlMeta", "application/xhtml+xml", "<meta charset='utf-8'/>\xC3\xA9",
                    u"<meta charset='utf-8'/>\u00e9\r\n"},
        CharsetCase{"MetaIgnoredForNonHtml", "text/plain; charset=ISO-8859-1", "<meta charset=utf-8>\xC3\xA9",
                    u"<meta charset=utf-8>\u00c3\u00a9\r\n"},
        CharsetCase{"XmlDeclarationBeatsHeader", "application/xml; charset=utf-8",
                    "<?xml version=\"1.0\" encoding=\"windows-1252\"?><a>\x80</a>",
                    u"<?xml version=\"1.0\" encoding=\"windows-1252\"?><a>\u20ac</a>\r\n"},
        CharsetCase{"XmlDeclarationOfPlusXmlType", "application/rss+xml",
                    "<?xml version='1.0' encoding='utf-8'?><rss>\xC3\xA9</rss>",
                    u"<?xml version='1.0' encoding='utf-8'?><rss>\u00e9</rss>\r\n"},
        CharsetCase{"HeaderCharsetWhenXmlDeclarationNamesNone", "application/xml; charset=utf-8",
                    "<?xml version=\"1.0\"?><a>\xC3\xA9</a>", u"<?xml version=\"1.0\"?><a>\u00e9</a>\r\n"},
        CharsetCase{"TextXmlDefaultsToAscii", "text/xml",
                    "<?xml version=\"1.0\" encoding=\"windows-1252\"?>\xE9",
                    u"<?xml version=\"1.0\" encoding=\"windows-1252\"?>\ufffd\r\n"},
        CharsetCase{"OtherTextDefaultsToLatin1", "text/plain", "caf\xE9", u"caf\u00e9\r\n"},
        CharsetCase{"TextHtmlWithoutAnyDeclarationIsLatin1", "text/html", "caf\xE9", u"caf\u00e9\r\n"},
        CharsetCase{"QuotedHeaderCharset", "text/plain; charset=\"UTF-8\"", "caf\xC3\xA9", u"caf\u00e9\r\n"},
        CharsetCase{"JsonWithoutCharsetIsByteToChar", "application/json", "\"caf\xE9\"",
                    u"\"caf\u00e9\"\r\n"},
        CharsetCase{"JsonWithCharset", "application/json; charset=utf-8", "\"caf\xC3\xA9\"",
                    u"\"caf\u00e9\"\r\n"},
        CharsetCase{"NoContentTypeIsByteToChar", nullptr, "\x80\xFF", u"\u0080\u00ff\r\n"},
        CharsetCase{"UnknownCharsetIsByteToChar", "text/plain; charset=x-no-such-set", "\xC3\xA9",
                    u"\u00c3\u00a9\r\n"},
        CharsetCase{"ConverterOptionsInTheNameAreNotObeyed", "text/plain; charset=utf-8//IGNORE", "\xC3\xA9",
                    u"\u00c3\u00a9\r\n"},
        CharsetCase{"ShiftJisThroughTheSystemConverter", "text/plain; charset=Shift_JIS", "\x93\xFA\x96\x7B",
                    u"\u65e5\u672c\r\n"},
        CharsetCase{"Utf16WithByteOrderMark", "text/plain; charset=utf-16", std::string("\xFF\xFEh\0i\0", 6),
                    u"hi\r\n"},
        CharsetCase{"InvalidUtf8BecomesReplacementCharacter", "text/plain; charset=utf-8",
                    "a\xFF"
                    "b",
                    u"a\ufffdb\r\n"},
        // Valid UTF-8 that declares no charset reads as UTF-8, whatever the type.
        CharsetCase{"UndeclaredUtf8Html", "text/html", "<p>caf\xC3\xA9</p>", u"<p>caf\u00e9</p>\r\n"},
        CharsetCase{"UndeclaredUtf8TextXml", "text/xml", "<a>\xE2\x82\xAC</a>", u"<a>\u20ac</a>\r\n"},
        CharsetCase{"UndeclaredUtf8Json", "application/json", "\"caf\xC3\xA9\"", u"\"caf\u00e9\"\r\n"},
        CharsetCase{"UndeclaredUtf8WithoutContentType", nullptr, "\xF0\x9F\x98\x80", u"\U0001F600\r\n"},
        CharsetCase{"DeclaredCharsetBeatsUtf8", "text/plain; charset=ISO-8859-1", "caf\xC3\xA9",
                    u"caf\u00c3\u00a9\r\n"},
        // Not UTF-8 after all: the type's default.
        CharsetCase{"Utf8CutInsideTheLastCharacter", "text/html", "caf\xC3\xA9\xC3",
                    u"caf\u00c3\u00a9\u00c3\r\n"},
        CharsetCase{"EncodedSurrogateIsNoUtf8", "text/html", "\xED\xA0\x80", u"\u00ed\u00a0\u0080\r\n"},
        CharsetCase{"OverlongFormIsNoUtf8", "text/html", "\xC0\xAF", u"\u00c0\u00af\r\n"},
        // A byte-order mark decides before any declaration and is no part of the text.
        CharsetCase{"Utf8MarkWithoutDeclaration", "text/html",
                    "\xEF\xBB\xBF"
                    "caf\xC3\xA9",
                    u"caf\u00e9\r\n"},
        CharsetCase{"Utf8MarkBeatsHeaderCharset", "text/html; charset=ISO-8859-1",
                    "\xEF\xBB\xBF"
                    "caf\xC3\xA9",
                    u"caf\u00e9\r\n"},
        CharsetCase{"Utf8MarkBeatsMetaCharset", "text/html",
                    "\xEF\xBB\xBF<meta charset=windows-1252>\xE2\x82\xAC",
                    u"<meta charset=windows-1252>\u20ac\r\n"},
        CharsetCase{"Utf16LeMarkBeatsHeaderCharset", "text/html; charset=ISO-8859-1",
                    std::string("\xFF\xFE"
                                "c\0\xE9\0\xAC\x20\n\0",
                                10),
                    u"c\u00e9\u20ac\r\n"},
        CharsetCase{"Utf16BeMarkWithoutContentType", nullptr, std::string("\xFE\xFF\0h\0i", 6), u"hi\r\n"},
        CharsetCase{"Utf8MarkBeatsXmlDeclaration", "application/xml",
                    "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"windows-1252\"?>\xE2\x82\xAC",
                    u"<?xml version=\"1.0\" encoding=\"windows-1252\"?>\u20ac\r\n"}),
    [](const testing::TestParamInfo<CharsetCase> &info) { return std::string(info.param.name); });

struct LinesCase {
    const char *name;
    std::string body;
    std::u16string_view text;
};

class DecodeLines : public testing::TestWithParam<LinesCase> {};

TEST_P(DecodeLines, EndEveryLineWithCrLf)
{
    EXPECT_EQ(decodeResponse(typed("text/plain"), QByteArray::fromStdString(GetParam().body)),
              u16(GetParam().text));
}

INSTANTIATE_TEST_SUITE_P(
    Lines, DecodeLines,
    testing::Values(LinesCase{"LfOnly", "a\nb\n", u"a\r\nb\r\n"},
                    LinesCase{"NoFinalBreak", "a\r\nb", u"a\r\nb\r\n"},
                    LinesCase{"LoneCr", "a\rb", u"a\r\nb\r\n"},
                    LinesCase{"EmptyLinesKept", "a\n\n\nb", u"a\r\n\r\n\r\nb\r\n"},
                    LinesCase{"CutAtNul", std::string("before\nmid\0after\n", 17), u"before\r\nmid\r\n"},
                    LinesCase{"LeadingNulGivesNothing", std::string("\0text", 5), u""},
                    LinesCase{"EmptyBody", "", u""}),
    [](const testing::TestParamInfo<LinesCase> &info) { return std::string(info.param.name); });

struct CodingCase {
    const char *name;
    const char *coding;
    std::string body;
};

const std::string kText = "line one\nline two: caf\xC3\xA9\n";

class DecodeContentCoding : public testing::TestWithParam<CodingCase> {};

TEST_P(DecodeContentCoding, InflatesToThePlainText)
{
    const ResponseHead head =
        headWith({{"Content-Type", "text/plain; charset=utf-8"}, {"Content-Encoding", GetParam().coding}});
    EXPECT_EQ(decodeResponse(head, QByteArray::fromStdString(GetParam().body)),
              u16(u"line one\r\nline two: caf\u00e9\r\n"));
}

INSTANTIATE_TEST_SUITE_P(
    Codings, DecodeContentCoding,
    testing::Values(CodingCase{"Gzip", "gzip", test::gzipped(kText)},
                    CodingCase{"DeflateZlibWrapped", "deflate", test::zlibWrapped(kText)},
                    CodingCase{"DeflateRaw", "Deflate", test::rawDeflated(kText)},
                    CodingCase{"TwoGzipMembers", "gzip",
                               test::gzipped(kText.substr(0, 10)) + test::gzipped(kText.substr(10))},
                    CodingCase{"GarbageAfterTheStream", "gzip", test::gzipped(kText) + "trailing junk"},
                    CodingCase{"NoCoding", "", kText}, CodingCase{"Identity", "identity", kText}),
    [](const testing::TestParamInfo<CodingCase> &info) { return std::string(info.param.name); });

TEST(DecodeContent, StreamCutShortIsNoPage)
{
    std::string raw;
    for (int i = 0; i < 3000; ++i)
        raw += std::to_string(i * 7919 % 10007) + (i % 10 == 9 ? "\n" : " ");
    const std::string gz = test::gzipped(raw);
    const std::string zlib = test::zlibWrapped(raw);
    const std::string deflated = test::rawDeflated(raw);
    const struct {
        const char *name;
        const char *coding;
        std::string body;
    } cases[] = {
        {"gzip without its trailer", "gzip", gz.substr(0, gz.size() - 8)},
        {"gzip cut in the data", "gzip", gz.substr(0, gz.size() / 2)},
        {"second gzip member cut", "gzip", test::gzipped("first member\n") + gz.substr(0, gz.size() / 2)},
        {"zlib without its checksum", "deflate", zlib.substr(0, zlib.size() - 4)},
        {"raw deflate cut in the data", "deflate", deflated.substr(0, deflated.size() / 2)},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        try {
            decodeResponse(headWith({{"Content-Encoding", c.coding}}), QByteArray::fromStdString(c.body));
            ADD_FAILURE() << "a stream that ends early is no page";
        } catch (const Error &e) {
            EXPECT_EQ(e.message(), u16(u"The connection closed before the page was complete."));
        }
    }
}

TEST(DecodeContent, EmptyCompressedBodyIsEmptyText)
{
    EXPECT_EQ(decodeResponse(headWith({{"Content-Encoding", "gzip"}}), QByteArray()), QString());
}

struct CorruptCase {
    const char *name;
    const char *coding;
    std::string body;
    const char16_t *message;
};

class DecodeCorrupt : public testing::TestWithParam<CorruptCase> {};

TEST_P(DecodeCorrupt, FailsWithZlibsMessage)
{
    try {
        decodeResponse(headWith({{"Content-Encoding", GetParam().coding}}),
                       QByteArray::fromStdString(GetParam().body));
        FAIL() << "corrupt data must fail";
    } catch (const Error &e) {
        EXPECT_EQ(e.message(), u16(GetParam().message));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Corrupt, DecodeCorrupt,
    testing::Values(CorruptCase{"GzipHeader", "gzip", "plain text", u"incorrect header check"},
                    CorruptCase{"DeflateBlockType", "deflate", "\xff\xff\xff\xff", u"invalid block type"},
                    CorruptCase{"ZlibChecksum", "deflate",
                                [] {
                                    std::string z = test::zlibWrapped("checksummed");
                                    z.back() = char(z.back() ^ 0x55);
                                    return z;
                                }(),
                                u"incorrect data check"}),
    [](const testing::TestParamInfo<CorruptCase> &info) { return std::string(info.param.name); });

TEST(DecodeLimit, CompressionBombStopsAtTheCeiling)
{
    const std::string bomb = test::gzipped(std::string(4 * 1024 * 1024, '\0'));
    ASSERT_LT(bomb.size(), 10000u);
    try {
        decodeResponse(headWith({{"Content-Encoding", "gzip"}}), QByteArray::fromStdString(bomb), 64 * 1024);
        FAIL() << "the inflated body is beyond the ceiling";
    } catch (const BodyTooLargeError &e) {
        EXPECT_EQ(e.message(), u16(u"The page is larger than 65536 bytes."));
    }
}

TEST(DecodeLimit, InflatedBodyOfExactlyTheCeilingIsKept)
{
    const std::string body(65536, 'a');
    const QString text = decodeResponse(headWith({{"Content-Encoding", "gzip"}}),
                                        QByteArray::fromStdString(test::gzipped(body)), 65536);
    EXPECT_EQ(text.size(), 65536 + 2);
}

TEST(DecodeLimit, PlainBodyBeyondTheCeilingFails)
{
    EXPECT_THROW(decodeResponse(headWith({}), QByteArray(65537, 'a'), 65536), BodyTooLargeError);
}

TEST(CharsetNames, KnownToTheSystemConverter)
{
    EXPECT_TRUE(isKnownCharset("windows-1252"));
    EXPECT_TRUE(isKnownCharset("UTF-8"));
    EXPECT_FALSE(isKnownCharset("x-no-such-set"));
    EXPECT_FALSE(isKnownCharset("UTF-8//TRANSLIT"));
}

} // namespace
} // namespace sentrel
