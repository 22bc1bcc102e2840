#include "support/qtext.h"
#include "text/textdecode.h"
#include <gtest/gtest.h>

using namespace sentrel;
using namespace std::literals;

namespace {

TEST(DecodeText, ByteOrderMarkDecidesOtherwiseUtf8ThenWindows1252)
{
    const struct {
        const char *name;
        QByteArray bytes;
        QString text;
        TextEncoding encoding;
    } cases[] = {
        {"empty", QByteArray(), QString(), TextEncoding::Utf8},
        {"plain UTF-8", QByteArray("gr\xC3\xBC\xC3\x9F \xF0\x9F\x98\x80"), u16(u"grüß 😀"),
         TextEncoding::Utf8},
        {"UTF-8 mark is dropped", QByteArray("\xEF\xBB\xBF\xC3\xA9"), u16(u"é"), TextEncoding::Utf8Bom},
        {"only a UTF-8 mark", QByteArray("\xEF\xBB\xBF"), QString(), TextEncoding::Utf8Bom},
        {"not UTF-8: every byte in Windows-1252", QByteArray("\x80 caf\xE9 \x9F"), u16(u"€ café Ÿ"),
         TextEncoding::Windows1252},
        {"truncated sequence at the end", QByteArray("ok\xC3"), u16(u"okÃ"), TextEncoding::Windows1252},
        {"overlong form is not UTF-8", QByteArray("\xC0\xAF"), u16(u"À¯"), TextEncoding::Windows1252},
        {"encoded surrogate is not UTF-8", QByteArray("\xED\xA0\x80"), u16(u"í\u00A0€"),
         TextEncoding::Windows1252},
        {"UTF-16 LE mark",
         QByteArray("\xFF\xFE"
                    "a\0\x3D\xD8\x00\xDE",
                    8),
         u16(u"a😀"), TextEncoding::Utf16LE},
        {"UTF-16 BE mark", QByteArray("\xFE\xFF\0a\0\xE9", 6), u16(u"aé"), TextEncoding::Utf16BE},
        {"UTF-32 LE mark wins over UTF-16 LE", QByteArray("\xFF\xFE\0\0a\0\0\0", 8), u16(u"a"),
         TextEncoding::Utf32LE},
        {"UTF-32 BE mark", QByteArray("\0\0\xFE\xFF\0\0\0a", 8), u16(u"a"), TextEncoding::Utf32BE},
        {"broken UTF-8 after its mark keeps the mark's encoding", QByteArray("\xEF\xBB\xBFok\xFF"),
         u16(u"ok\uFFFD"), TextEncoding::Utf8Bom},
        {"NUL bytes are kept", QByteArray("a\0b", 3), u16(u"a\0b"sv), TextEncoding::Utf8},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const DecodedText d = decodeText(c.bytes);
        EXPECT_EQ(d.text, c.text);
        EXPECT_EQ(d.encoding, c.encoding);
    }
}

TEST(DecodeText, UndefinedWindows1252BytesKeepTheirCodes)
{
    // 0x81, 0x8D, 0x8F, 0x90 and 0x9D have no character in the code page;
    // they must not vanish, or a file read and written back would lose bytes.
    const DecodedText d = decodeText(QByteArray("\x81\x8D\x8F\x90\x9D"));
    EXPECT_EQ(d.encoding, TextEncoding::Windows1252);
    EXPECT_EQ(d.text, u16(u"\u0081\u008D\u008F\u0090\u009D"));
}

} // namespace
