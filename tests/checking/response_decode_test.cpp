// Response decoding without a socket: codings, character sets, line ends.
#include "checking/charsetdecode.h"
#include "checking/responsedecoder.h"
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
        CharsetCase{"HttpEquivWithoutCharsetReplacesHeaderType", "text/html; charset=utf-8",
                    "<meta http-equiv=content-type content=text/html>\xC3\xA9",
                    u"<meta http-equiv=content-type content=text/html>\u00c3\u00a9\r\n"},
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
        CharsetCase{"MetaIgnoredForNonHtml", "text/plain", "<meta charset=utf-8>\xC3\xA9",
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
                    "<?xml version=\"1.0\" encoding=\"utf-8\"?>\xC3\xA9",
                    u"<?xml version=\"1.0\" encoding=\"utf-8\"?>\ufffd\ufffd\r\n"},
        CharsetCase{"OtherTextDefaultsToLatin1", "text/plain", "caf\xE9", u"caf\u00e9\r\n"},
        CharsetCase{"TextHtmlWithoutAnyDeclarationIsLatin1", "text/html", "caf\xC3\xA9",
                    u"caf\u00c3\u00a9\r\n"},
        CharsetCase{"QuotedHeaderCharset", "text/plain; charset=\"UTF-8\"", "caf\xC3\xA9", u"caf\u00e9\r\n"},
        CharsetCase{"JsonWithoutCharsetIsByteToChar", "application/json", "\"caf\xC3\xA9\"",
                    u"\"caf\u00c3\u00a9\"\r\n"},
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
                    u"a\ufffdb\r\n"}),
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

TEST(DecodeContent, StreamCutShortGivesWhatInflated)
{
    std::string raw;
    for (int i = 0; i < 3000; ++i)
        raw += std::to_string(i * 7919 % 10007) + (i % 10 == 9 ? "\n" : " ");
    const std::string gz = test::gzipped(raw);
    const QString full = decodeResponse(headWith({}), QByteArray::fromStdString(raw));
    const ResponseHead head = headWith({{"Content-Encoding", "gzip"}});

    // Without the eight trailer bytes all of the data is there.
    EXPECT_EQ(decodeResponse(head, QByteArray::fromStdString(gz.substr(0, gz.size() - 8))), full);
    // Cut in the middle of the data: the part before the cut.
    const QString half = decodeResponse(head, QByteArray::fromStdString(gz.substr(0, gz.size() / 2)));
    ASSERT_GT(half.size(), 100);
    EXPECT_TRUE(full.startsWith(half.chopped(2)));
    EXPECT_LT(half.size(), full.size());
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
