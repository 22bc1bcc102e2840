#include "text/utf8.h"
#include <QByteArray>
#include <QString>
#include <gtest/gtest.h>
#include <random>

using namespace sentrel;

namespace {

struct Utf8Case {
    const char *name;
    QByteArray bytes;
    bool valid;
};

TEST(IsValidUtf8, AcceptsWellFormedAndRejectsEveryMalformedKind)
{
    const QByteArray ascii16("abcdefghijklmnop");
    const Utf8Case cases[] = {
        {"empty", "", true},
        {"ASCII longer than one word", ascii16 + ascii16 + "xyz", true},
        {"first and last two-byte", "\xC2\x80 \xDF\xBF", true},
        {"first and last three-byte", "\xE0\xA0\x80 \xEF\xBF\xBF", true},
        {"around the surrogates", "\xED\x9F\xBF \xEE\x80\x80", true},
        {"first and last four-byte", "\xF0\x90\x80\x80 \xF4\x8F\xBF\xBF", true},
        {"noncharacter U+FFFE", "\xEF\xBF\xBE", true},
        {"lone continuation byte",
         "a\x80"
         "b",
         false},
        {"overlong two-byte C0", "\xC0\xAF", false},
        {"overlong two-byte C1", "\xC1\xBF", false},
        {"overlong three-byte", "\xE0\x9F\xBF", false},
        {"overlong four-byte", "\xF0\x8F\xBF\xBF", false},
        {"encoded surrogate", "\xED\xA0\x80", false},
        {"above U+10FFFF", "\xF4\x90\x80\x80", false},
        {"F5 lead byte", "\xF5\x80\x80\x80", false},
        {"FF byte", "\xFF", false},
        {"sequence cut by the end", "abc\xE2\x82", false},
        {"sequence cut by ASCII",
         "\xE2\x82"
         "A",
         false},
        {"four-byte cut after three",
         "\xF0\x9F\x98"
         "x",
         false},
        {"malformed right after a full word of ASCII", ascii16.left(8) + "\x80", false},
        {"malformed deep in ASCII", ascii16 + ascii16 + "\xC3", false},
    };
    for (const Utf8Case &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(isValidUtf8(c.bytes), c.valid);
    }
}

TEST(IsValidUtf8, AgreesWithTheRoundTripThroughQString)
{
    // Exactly the byte strings that come back unchanged from UTF-16 are valid.
    const unsigned char alphabet[] = {'a',  '<',  0x00, 0x7F, 0x80, 0x8F, 0x90, 0x9F, 0xA0, 0xBF,
                                      0xC0, 0xC2, 0xDF, 0xE0, 0xED, 0xEF, 0xF0, 0xF4, 0xF5, 0xFF};
    std::mt19937 random(20261210);
    std::uniform_int_distribution<int> pick(0, int(sizeof alphabet) - 1), length(0, 24);
    for (int n = 0; n < 20000; ++n) {
        QByteArray bytes;
        for (int i = length(random); i > 0; --i)
            bytes.append(char(alphabet[pick(random)]));
        const bool roundTrips = QString::fromUtf8(bytes).toUtf8() == bytes;
        ASSERT_EQ(isValidUtf8(bytes), roundTrips) << bytes.toHex(' ').toStdString();
    }
}

} // namespace
