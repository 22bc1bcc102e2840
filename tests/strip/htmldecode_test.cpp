#include "strip/htmldecode.h"
#include "strip/htmlentities.h"
#include "support/qtext.h"
#include "text/error.h"
#include "text/lines.h"
#include <QSet>
#include <QStringList>
#include <gtest/gtest.h>

using namespace sentrel;
using namespace std::string_view_literals;

namespace {

struct DecodeCase {
    const char *name;
    std::u16string_view input;
    std::u16string_view expected;
};

TEST(HtmlDecode, ReplacesReferencesInOnePass)
{
    const DecodeCase cases[] = {
        {"text without references", u"plain text, no ampersand", u"plain text, no ampersand"},
        {"decimal", u"&#65;", u"A"},
        {"hexadecimal with small x", u"&#x41;", u"A"},
        {"hexadecimal digits in either case", u"&#x6a;&#x6A;", u"jj"},
        {"capital X is no reference", u"&#X41;", u"&#X41;"},
        {"leading zeros", u"&#00065;&#x000000041;", u"AA"},
        {"named", u"&lt;b&gt; &quot;x&quot; &amp; &apos;y&apos;", u"<b> \"x\" & 'y'"},
        {"names are case sensitive", u"&Aacute;&aacute;", u"\u00C1\u00E1"},
        {"amp in capitals is unknown", u"&AMP;", u"&AMP;"},
        {"unknown name stays", u"&bogus; &ampx;", u"&bogus; &ampx;"},
        {"named reference without semicolon", u"&amp and &lt", u"&amp and &lt"},
        {"numeric reference without semicolon", u"&#65 &#x41 x", u"&#65 &#x41 x"},
        {"text ends inside a reference", u"a &#65", u"a &#65"},
        {"no second pass", u"&amp;lt;", u"&lt;"},
        {"no second pass over numeric", u"&#38;#65;", u"&#65;"},
        {"bare ampersands", u"a & b && c &; &", u"a & b && c &; &"},
        {"empty decimal shorter than four characters at the end", u"x&#;", u"x&#;"},
        {"astral code point gives a surrogate pair", u"&#128512;", u"\U0001F600"},
        {"highest code point", u"&#x10FFFF;", u"\U0010FFFF"},
        {"zero gives NUL", u"a&#0;b"sv, u"a\0b"sv},
        {"lone surrogate code point gives U+FFFD", u"&#xD83D;&#xDE00;", u"\uFFFD\uFFFD"},
        {"beyond Unicode gives U+FFFD", u"&#x110000;&#2147483647;&#xFFFFFFFF;", u"\uFFFD\uFFFD\uFFFD"},
        {"digit ends the name search", u"&sup2; &frac12; &thetasym;", u"\u00B2 \u00BD \u03D1"},
        {"references next to each other", u"&euro;&nbsp;&#8364;&#x20AC;", u"\u20AC\u00A0\u20AC\u20AC"},
        {"surrounding text and line breaks kept", u"line 1\r\n&copy; 2024\nend",
         u"line 1\r\n\u00A9 2024\nend"},
        {"empty text", u"", u""},
    };
    for (const DecodeCase &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(HtmlDecode(u16(c.input)), u16(c.expected));
    }
}

TEST(HtmlDecode, NulFromAReferenceEndsTheTextForTheLineSteps)
{
    const QString decoded = HtmlDecode(u"first&#0;hidden\r\nsecond");
    EXPECT_EQ(decoded.size(), 20);
    EXPECT_EQ(splitLines(decoded), QStringList{QStringLiteral("first")});
}

TEST(HtmlDecode, MalformedNumericReferenceRaisesConversionError)
{
    const struct {
        const char *name;
        std::u16string_view input;
        const char *message;
    } cases[] = {
        {"decimal without digits", u"a &#; b", "'' is not a valid integer value"},
        {"hexadecimal without digits", u"a &#x; b", "'$' is not a valid integer value"},
        {"decimal beyond signed 32 bits", u"&#2147483648;", "'2147483648' is not a valid integer value"},
        {"decimal far beyond", u"&#99999999999999999999;",
         "'99999999999999999999' is not a valid integer value"},
        {"hexadecimal beyond 32 bits", u"&#x100000000;", "'$100000000' is not a valid integer value"},
        {"after a good reference", u"&#65;&#;x", "'' is not a valid integer value"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        try {
            HtmlDecode(u16(c.input));
            ADD_FAILURE() << "no error raised";
        } catch (const Error &e) {
            EXPECT_EQ(e.message(), QString::fromUtf8(c.message));
        }
    }
}

TEST(HtmlDecode, ReportsEveryWellFormedUnknownNameToTheSink)
{
    QStringList reported;
    const UnknownEntitySink sink = [&reported](const QString &line) { reported.append(line); };
    const QString input = u16(u"&foo; &amp; &b-a.r1; &\u00E9t\u00E9; &a\u00B7b; "
                              u"&1x; &-x; &\u00B7b; &x y; &AMP; &\U0001F600; &ab\U0001F600;");
    EXPECT_EQ(HtmlDecode(input, sink), input.sliced(0, 6) + QChar(u'&') + input.sliced(11));
    EXPECT_EQ(reported, (QStringList{
                            QStringLiteral("HtmlDecode: Unknown HTML entity reference: \"&foo;\""),
                            QStringLiteral("HtmlDecode: Unknown HTML entity reference: \"&b-a.r1;\""),
                            u16(u"HtmlDecode: Unknown HTML entity reference: \"&\u00E9t\u00E9;\""),
                            u16(u"HtmlDecode: Unknown HTML entity reference: \"&a\u00B7b;\""),
                            QStringLiteral("HtmlDecode: Unknown HTML entity reference: \"&AMP;\""),
                        }));
}

TEST(HtmlDecode, EmptySinkIsAllowed)
{
    EXPECT_EQ(HtmlDecode(u"&foo;&lt;", UnknownEntitySink()), QStringLiteral("&foo;<"));
}

TEST(XmlNameCharacters, FollowTheNameStartCharAndNameCharProductions)
{
    const struct {
        char16_t c;
        bool start;
        bool name;
    } cases[] = {
        {u'a', true, true},     {u'Z', true, true},     {u':', true, true},     {u'_', true, true},
        {u'-', false, true},    {u'.', false, true},    {u'0', false, true},    {u'9', false, true},
        {u' ', false, false},   {u';', false, false},   {u'&', false, false},   {u'#', false, false},
        {0xB7, false, true},    {0xBF, false, false},   {0xC0, true, true},     {0xD7, false, false},
        {0xD8, true, true},     {0xF7, false, false},   {0xF8, true, true},     {0x2FF, true, true},
        {0x300, false, true},   {0x36F, false, true},   {0x370, true, true},    {0x37E, false, false},
        {0x37F, true, true},    {0x1FFF, true, true},   {0x2000, false, false}, {0x200C, true, true},
        {0x200E, false, false}, {0x203F, false, true},  {0x2040, false, true},  {0x2070, true, true},
        {0x218F, true, true},   {0x2190, false, false}, {0x2C00, true, true},   {0x2FEF, true, true},
        {0x3000, false, false}, {0x3001, true, true},   {0xD7FF, true, true},   {0xD800, false, false},
        {0xDBFF, false, false}, {0xDC00, false, false}, {0xDFFF, false, false}, {0xE000, false, false},
        {0xF900, true, true},   {0xFDCF, true, true},   {0xFDD0, false, false}, {0xFDF0, true, true},
        {0xFFFD, true, true},   {0xFFFE, false, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << "U+" << std::hex << int(c.c));
        EXPECT_EQ(isXmlNameStartChar(c.c), c.start);
        EXPECT_EQ(isXmlNameChar(c.c), c.name);
    }
}

TEST(HtmlEntities, HoldTheHtml401SetPlusApos)
{
    const auto entities = htmlEntities();
    EXPECT_EQ(entities.size(), 253u);
    QSet<QString> names;
    for (const HtmlEntity &e : entities)
        names.insert(QString::fromLatin1(e.name));
    EXPECT_EQ(names.size(), 253);

    const struct {
        const char *name;
        char16_t character;
    } known[] = {
        {"amp", 0x26},      {"lt", 0x3C},        {"gt", 0x3E},     {"quot", 0x22},   {"apos", 0x27},
        {"nbsp", 0xA0},     {"shy", 0xAD},       {"copy", 0xA9},   {"yuml", 0xFF},   {"Yuml", 0x178},
        {"Aacute", 0xC1},   {"aacute", 0xE1},    {"Alpha", 0x391}, {"alpha", 0x3B1}, {"euro", 0x20AC},
        {"hearts", 0x2665}, {"thetasym", 0x3D1}, {"OElig", 0x152}, {"rlm", 0x200F},  {"lang", 0x2329},
    };
    for (const auto &k : known) {
        SCOPED_TRACE(k.name);
        EXPECT_EQ(lookupHtmlEntity(QString::fromLatin1(k.name)), std::optional<char16_t>(k.character));
    }
    for (const char *unknown : {"AMP", "Amp", "NBSP", "am", "ampx", "", "thetasymx", "AElig2", "euro;"})
        EXPECT_EQ(lookupHtmlEntity(QString::fromLatin1(unknown)), std::nullopt) << unknown;
}

TEST(HtmlEntities, EveryNameDecodesToItsCharacter)
{
    for (const HtmlEntity &e : htmlEntities()) {
        const QString name = QString::fromLatin1(e.name);
        SCOPED_TRACE(name.toStdString());
        EXPECT_EQ(HtmlDecode(QStringLiteral("[&%1;]").arg(name)),
                  QStringLiteral("[%1]").arg(QChar(e.character)));
    }
}

} // namespace
