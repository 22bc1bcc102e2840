#include "storage/inifile.h"
#include "support/qtext.h"
#include "text/error.h"
#include <gtest/gtest.h>

using namespace sentrel;
using namespace std::literals;

namespace {

const QString S = QStringLiteral("Settings");

TEST(IniDocument, KeysMatchWithoutLetterCaseValuesStayExact)
{
    const IniDocument doc = IniDocument::parse(u16(u"[settings]\r\nautocheck=on\r\n  Beep =  ON  \r\n"));
    EXPECT_EQ(doc.value(S, u"AutoCheck"), QStringLiteral("on"));
    EXPECT_EQ(doc.value(u"SETTINGS", u"BEEP"), QStringLiteral("ON"));
    EXPECT_FALSE(doc.value(S, u"Interval").has_value());
    EXPECT_FALSE(doc.value(u"Other", u"Beep").has_value());
}

TEST(IniDocument, ReadsEveryLineBreakKindAndEmptyValues)
{
    const IniDocument doc = IniDocument::parse(u16(u"[Settings]\rA=1\nB=\r\nC=x=y"));
    EXPECT_EQ(doc.value(S, u"A"), QStringLiteral("1"));
    EXPECT_EQ(doc.value(S, u"B"), QString());
    EXPECT_TRUE(doc.contains(S, u"B"));
    EXPECT_EQ(doc.value(S, u"C"), QStringLiteral("x=y")) << "only the first = separates";
}

TEST(IniDocument, FirstOfTwoEqualKeysCountsAndIsTheOneChanged)
{
    IniDocument doc = IniDocument::parse(u16(u"[Settings]\r\nBeep=ON\r\nbeep=OFF\r\n"));
    EXPECT_EQ(doc.value(S, u"Beep"), QStringLiteral("ON"));
    doc.setValue(S, u"BEEP", QStringLiteral("OFF"));
    EXPECT_EQ(doc.toText(), u16(u"[Settings]\r\nBeep=OFF\r\nbeep=OFF\r\n\r\n"));
}

TEST(IniDocument, WriteKeepsOrderUnknownPartsAndAppendsNewKeys)
{
    IniDocument doc = IniDocument::parse(u16(u"; written by hand\n"
                                             u"[Other]\nx = 1\n\n"
                                             u"[Settings]\nInterval=60\n; keep me\njunk line\nBeep=ON\n"
                                             u"[other]\ny=2\n"));
    doc.setValue(S, u"interval", QStringLiteral("120"));
    doc.setValue(S, u"AutoCheck", QStringLiteral("ON"));
    doc.setValue(u"New", u"k", QStringLiteral("v"));
    EXPECT_EQ(doc.toText(), u16(u"; written by hand\r\n\r\n"
                                u"[Other]\r\nx=1\r\ny=2\r\n\r\n"
                                u"[Settings]\r\nInterval=120\r\n; keep me\r\njunk line\r\nBeep=ON\r\n"
                                u"AutoCheck=ON\r\n\r\n"
                                u"[New]\r\nk=v\r\n\r\n"));
}

TEST(IniDocument, WrittenTextReadsBackToTheSameValues)
{
    IniDocument doc;
    const QString values[] = {u16(u"C:\\Sounds\\ding [1].wav"), u16(u"=;#[]\"'"),
                              u16(u"Ünïcödé 😀 \U0010FFFF"), QString()};
    for (int i = 0; i < 4; ++i)
        doc.setValue(S, QStringLiteral("K%1").arg(i), values[i]);
    const IniDocument back = IniDocument::parse(doc.toText());
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(back.value(S, QStringLiteral("K%1").arg(i)), values[i]) << i;
    EXPECT_EQ(back.toText(), doc.toText());
}

TEST(IniDocument, RefusesWhatCannotBeReadBack)
{
    const struct {
        const char *name;
        QString section, key, value;
    } cases[] = {
        {"line break in a value", S, QStringLiteral("SoundFile"), QStringLiteral("a\nb")},
        {"carriage return in a value", S, QStringLiteral("SoundFile"), QStringLiteral("a\rb")},
        {"NUL in a value", S, QStringLiteral("SoundFile"), u16(u"a\0b"sv)},
        {"= in a key", S, QStringLiteral("a=b"), QStringLiteral("v")},
        {"empty key", S, QString(), QStringLiteral("v")},
        {"key that reads as a comment", S, QStringLiteral(";k"), QStringLiteral("v")},
        {"] in a section", QStringLiteral("a]b"), QStringLiteral("k"), QStringLiteral("v")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        IniDocument doc;
        EXPECT_THROW(doc.setValue(c.section, c.key, c.value), Error);
        EXPECT_EQ(doc.toText(), QString()) << "nothing half-written";
    }
}

} // namespace
