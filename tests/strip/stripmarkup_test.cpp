#include "strip/htmldecode.h"
#include "strip/strippers.h"
#include "support/qtext.h"
#include "text/error.h"
#include "text/regex.h"
#include <array>
#include <cstdint>
#include <gtest/gtest.h>

using namespace sentrel;
using namespace std::string_view_literals;

namespace {

struct StripCase {
    const char *name;
    std::u16string_view input;
    std::u16string_view expected;
};

void expectStrips(QString (*stripper)(QStringView), std::initializer_list<StripCase> cases)
{
    for (const StripCase &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(stripper(u16(c.input)), u16(c.expected));
    }
}

// What the regular-expression and the scanning stripper have in common: the
// page's own line structure survives, a tag leaves nothing in its place, and
// decoding comes after stripping.
class BothTextStrippers : public testing::TestWithParam<QString (*)(QStringView)> {};

TEST_P(BothTextStrippers, DeleteTagsWithoutLeavingAnythingInTheirPlace)
{
    expectStrips(
        GetParam(),
        {
            {"words around a line-break tag join", u"one<br>two", u"onetwo"},
            {"tags on their own lines leave empty lines",
             u"<html>\r\n<body>\r\n<p>Text</p>\r\n</body>\r\n</html>", u"\r\n\r\nText\r\n\r\n"},
            {"white space between tags is kept", u"<td> a </td>\t<td>b  c</td>", u" a \tb  c"},
            {"script and style blocks go with their content",
             u"a<style type=\"text/css\">p { color: red }</style>b<script>var s = 'x';</script>c", u"abc"},
            {"script and style in capitals", u"a<SCRIPT>x()</SCRIPT>b<Style>p{}</sTyle>c", u"abc"},
            {"script spanning lines", u"a\r\n<script>\r\nf();\r\n</script>\r\nb", u"a\r\n\r\nb"},
            {"decoding after stripping", u"&lt;b&gt;bold&lt;/b&gt; &amp; <i>it</i>", u"<b>bold</b> & it"},
            {"accented text untouched", u"<p>caf\u00E9 \u6771\u4EAC \U0001F600</p>",
             u"caf\u00E9 \u6771\u4EAC \U0001F600"},
            {"empty text", u"", u""},
        });
}

TEST_P(BothTextStrippers, MalformedReferenceInThePageRaises)
{
    EXPECT_THROW(GetParam()(u"<p>&#;</p>x"), Error);
}

INSTANTIATE_TEST_SUITE_P(Strippers, BothTextStrippers,
                         testing::Values(&StripWithRegex, &StripWithStringBuilder),
                         [](const auto &info) { return info.index == 0 ? "Regex" : "StringBuilder"; });

TEST(StripWithRegex, DeletesWhatThePatternMatches)
{
    expectStrips(
        &StripWithRegex,
        {
            {"one greedy match from the first comment to the last", u"a<!-- one -->visible<!-- two -->b",
             u"ab"},
            {"a comment alone", u"a<!-- x -->b", u"ab"},
            {"comment spanning lines", u"a<!--\r\nx\r\n-->b", u"ab"},
            {"comment with more dashes", u"a<!---x--->b", u"ab"},
            {"shortest comment", u"a<!--->b", u"ab"},
            {"comment holding a greater-than sign", u"a<!->-->b", u"ab"},
            {"comment end must follow the start", u"a<!-->b", u"ab"},
            {"unclosed comment without a later > stays", u"a <!-- b", u"a <!-- b"},
            {"unclosed comment is a tag up to the next >", u"a <!-- b > c", u"a  c"},
            {"lazy script: each script ends at its own end tag", u"<script>1</script>keep<script>2</script>",
             u"keep"},
            {"lazy style", u"<style>1</style>keep<style>2</style>", u"keep"},
            {"script holding markup", u"<script>if (a < b && c > d) { s = '</div>'; }</script>x", u"x"},
            {"unclosed script is only a tag", u"<script>a</scrip>b", u"ab"},
            {"tag name only has to begin with style", u"<styled>a</style>b", u"b"},
            {"less-than sign in running text without a later >", u"1 < 2", u"1 < 2"},
            {"less-than to greater-than is a tag", u"1 < 2 > 0", u"1  0"},
            {"greater-than sign in running text stays", u"2 > 1", u"2 > 1"},
            {"empty tag brackets stay", u"a<>b", u"a<>b"},
            {"a tag across lines", u"a<a\r\nhref=x>b", u"ab"},
            {"any Unicode line end inside and around markup",
             u"a\u2028<b\u0085>\r\n<script>\u2028x\r</script>\u0085b", u"a\u2028\r\n\u0085b"},
        });
}

TEST(StripWithRegex, KeepsLoneSurrogatesOfThePage)
{
    // The matcher sees a repaired copy; the kept text must be the page's own.
    const QString page = u16(u"\xD800<b>x</b>\xDC00"sv);
    EXPECT_EQ(StripWithRegex(page), u16(u"\xD800x\xDC00"sv));
}

// The stripper narrows the pattern where an alternative can no longer match;
// on any text it must delete exactly what the whole pattern deletes.
QString deleteWithWholePattern(QStringView text)
{
    const Regex whole(u"<style.*?>.*?<\\/style>|<!--*.*-->|<script.*?>.*?<\\/script>|<[^>]+>",
                      Regex::Caseless | Regex::DotAll);
    const RegexSubject subject(text);
    QString kept;
    qsizetype pos = 0;
    whole.forEachMatch(subject, [&](const RegexMatch &m) {
        kept += text.sliced(pos, m.start() - pos);
        pos = m.end();
    });
    kept += text.sliced(pos);
    return kept;
}

TEST(StripWithRegex, DeletesWhatTheWholePatternDeletesOnRandomMarkup)
{
    static constexpr std::array<std::u16string_view, 28> kPieces = {
        u"<",
        u">",
        u"<!-",
        u"<!--",
        u"-",
        u"--",
        u"-->",
        u"<style",
        u"<STYLE x=1",
        u"</style>",
        u"</StYlE>",
        u"<script",
        u"<Script>",
        u"</script>",
        u"</SCRIPT>",
        u"</scrip>",
        u"<b>",
        u"</b>",
        u"x",
        u"yz",
        u" ",
        u"\r\n",
        u"\n",
        u"\u2028",
        u"\u017Fcript",
        u"</\u017Ftyle>",
        u"<\u017Fcript>",
        u"</\u017Fcript>",
    };
    uint64_t state = 0x9E3779B97F4A7C15ull;
    const auto next = [&state] {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return state;
    };
    for (int round = 0; round < 3000; ++round) {
        QString text;
        const int pieces = int(next() % 40);
        for (int i = 0; i < pieces; ++i)
            text += u16(kPieces[next() % kPieces.size()]);
        SCOPED_TRACE(text.toStdString());
        EXPECT_EQ(StripWithRegex(text), HtmlDecode(deleteWithWholePattern(text)));
    }
}

TEST(StripWithRegex, TakesLongSAsTheCaselessPatternDoes)
{
    // Caseless matching in Unicode mode lets "s" match U+017F.
    expectStrips(&StripWithRegex,
                 {
                     {"long s in a script element", u"a<\u017Fcript>b</\u017Fcript>c", u"ac"},
                     {"long s in the end tag of a style element", u"a<style>b</\u017Ftyle>c", u"ac"},
                 });
}

TEST(StripWithStringBuilder, ScansCharacterByCharacter)
{
    expectStrips(
        &StripWithStringBuilder,
        {
            {"less-than hides everything up to the next greater-than", u"a < b and c > d", u"a  d"},
            {"greater-than in running text disappears", u"2 > 1", u"2  1"},
            {"less-than without a later greater-than hides the rest", u"1 < 2 and more", u"1 "},
            {"script in capitals holding a less-than sign", u"<SCRIPT>if (a < b) x();</SCRIPT>word", u"word"},
            {"script holding greater-than signs", u"<script>if (a > b && c > d) {}</script>word", u"word"},
            {"script ends only at its end tag", u"<script>x</scrip>y</script >z</script>w", u"w"},
            {"tag names beginning with script or style count", u"<scripts>a</script>b<styled>c</style>d",
             u"bd"},
            {"style ends only at its end tag", u"<style>p</style >q</STYLE>r", u"r"},
            {"script and style flags are separate", u"<script><style></script>x</style>y", u"y"},
            {"comments are plain tags", u"a<!-- b > c -->d", u"a c --d"},
            {"end tag at the very start", u"</script>x", u"x"},
            {"tag start at the very end", u"x<scr", u"x"},
        });
}

TEST(Strip, DispatchesToTheChosenMethod)
{
    const QString page = QStringLiteral("a<br><!-- <x> -->b");
    EXPECT_EQ(strip(StripMethod::Browser, page), QStringLiteral("a\r\nb"));
    EXPECT_EQ(strip(StripMethod::Regex, page), QStringLiteral("ab"));
    EXPECT_EQ(strip(StripMethod::StringBuilder, page), QStringLiteral("a --b"));
}

} // namespace
