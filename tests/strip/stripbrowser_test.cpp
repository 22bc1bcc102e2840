#include "strip/strippers.h"
#include "support/qtext.h"
#include <QStringList>
#include <gtest/gtest.h>

using namespace sentrel;

namespace {

struct RenderCase {
    const char *name;
    std::u16string_view html;
    std::u16string_view text;
};

void expectRenders(std::initializer_list<RenderCase> cases)
{
    for (const RenderCase &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(StripWithBrowser(u16(c.html)), u16(c.text));
    }
}

TEST(StripWithBrowser, BlocksAndParagraphsGiveLineBreaks)
{
    expectRenders({
        {"plain text", u"Hello world", u"Hello world"},
        {"only the body is text", u"<html><head><title>T</title></head><body>b</body></html>", u"b"},
        {"blocks on their own lines", u"<div>a</div><div>b</div>", u"a\r\nb"},
        {"nested blocks give one line break", u"<div><div><div>a</div></div></div><div>b</div>", u"a\r\nb"},
        {"paragraphs a blank line apart", u"<p>a</p><p>b</p>", u"a\r\n\r\nb"},
        {"paragraph beside blocks", u"<div>a</div><p>b</p>c", u"a\r\n\r\nb\r\n\r\nc"},
        {"no line breaks at the start or the end", u"<p><div>a</div></p>", u"a"},
        {"block inside an inline element", u"<span>a<div>b</div>c</span>", u"a\r\nb\r\nc"},
        {"headings and list items", u"<h1>Title</h1><ul><li>one</li><li>two</li></ul>end",
         u"Title\r\none\r\ntwo\r\nend"},
        {"rule", u"a<hr>b", u"a\r\nb"},
        {"empty blocks add nothing", u"<div>a</div><div></div><div><span></span></div><div>b</div>",
         u"a\r\nb"},
        {"an empty paragraph still counts", u"<div>a</div><p></p><div>b</div>", u"a\r\n\r\nb"},
        {"empty page", u"", u""},
    });
}

TEST(StripWithBrowser, LineBreakTagsAreTextOfTheirOwn)
{
    expectRenders({
        {"between words", u"a<br>b", u"a\r\nb"},
        {"two in a row", u"a<br><br>b", u"a\r\n\r\nb"},
        {"at the start", u"<br>a", u"\r\na"},
        {"at the end", u"a<br>", u"a\r\n"},
        {"spaces around it are dropped", u"a <br> b", u"a\r\nb"},
        {"before a block", u"a<br><div>b</div>", u"a\r\n\r\nb"},
    });
}

TEST(StripWithBrowser, CollapsesWhiteSpaceAsCssNormalDoes)
{
    expectRenders({
        {"runs become one space", u"  a \r\n\t  b  ", u"a b"},
        {"across inline element boundaries", u"a <b> b </b> <i> c</i>", u"a b c"},
        {"no space where the markup has none", u"a<b>b</b>c", u"abc"},
        {"trimmed at block edges", u"<div>  a  </div>  \n  <div>\n b \n</div>", u"a\r\nb"},
        {"no-break spaces are kept", u"a&nbsp;&nbsp;b \u00A0 c", u"a\u00A0\u00A0b \u00A0 c"},
        {"entities decoded by the parser", u"&lt;b&gt; &amp; &eacute; &#x20AC; &#8212;",
         u"<b> & \u00E9 \u20AC \u2014"},
        {"accented and astral text", u"<p>caf\u00E9 \u6771\u4EAC \U0001F600</p>",
         u"caf\u00E9 \u6771\u4EAC \U0001F600"},
        {"comments give nothing", u"a<!-- x -->b", u"ab"},
        {"images give nothing", u"a<img src=x alt=picture>b", u"ab"},
    });
}

TEST(StripWithBrowser, PreformattedTextKeepsItsWhiteSpace)
{
    expectRenders({
        {"pre", u"<pre>  a\n   b  </pre>", u"  a\r\n   b  "},
        {"leading newline of pre is dropped by the parser", u"<pre>\nx</pre>", u"x"},
        {"inline markup inside pre", u"<pre>a <b> b</b>\tc</pre>", u"a  b\tc"},
        {"pre is a block", u"x<pre>a</pre>y", u"x\r\na\r\ny"},
        {"blocks inside pre keep white space too", u"<pre><div> a  b </div></pre>", u" a  b "},
        {"listing, xmp and plaintext", u"<listing> a  b</listing><xmp> <c>  d</xmp><plaintext> e  f",
         u" a  b\r\n <c>  d\r\n e  f"},
        {"textarea", u"x <textarea> a  b\n c</textarea> y", u"x  a  b\r\n c y"},
        {"white space after pre collapses again", u"<pre>a</pre>  b   c", u"a\r\nb c"},
    });
}

TEST(StripWithBrowser, TablesGiveTabsAndLines)
{
    expectRenders({
        {"cells and rows", u"<table><tr><td>a</td><td>b</td></tr><tr><td>c</td><td>d</td></tr></table>",
         u"a\tb\r\nc\td"},
        {"header cells and row groups",
         u"<table><thead><tr><th>h1</th><th>h2</th></tr></thead><tbody><tr><td>1</td><td>2</td></tr></tbody>"
         u"<tfoot><tr><td>f</td><td>g</td></tr></tfoot></table>",
         u"h1\th2\r\n1\t2\r\nf\tg"},
        {"white space in cells trimmed",
         u"<table>\n <tr>\n  <td> a </td>\n  <td>\n b c </td>\n </tr>\n</table>", u"a\tb c"},
        {"table is a block", u"x<table><tr><td>a</td></tr></table>y", u"x\r\na\r\ny"},
        {"caption is a block", u"<table><caption>Cap</caption><tr><td>a</td><td>b</td></tr></table>",
         u"Cap\r\na\tb"},
        {"hidden last cell gives no tab", u"<table><tr><td>a</td><td hidden>b</td></tr></table>", u"a"},
        {"hidden last row gives no line", u"<table><tr><td>a</td></tr><tr hidden><td>b</td></tr></table>x",
         u"a\r\nx"},
        {"nested table inside a cell",
         u"<table><tr><td>a<table><tr><td>b</td><td>c</td></tr></table></td><td>d</td></tr></table>",
         u"a\r\nb\tc\r\n\td"},
        {"empty cells keep their tabs", u"<table><tr><td></td><td></td><td>c</td></tr></table>", u"\t\tc"},
    });
}

TEST(StripWithBrowser, HiddenElementsGiveNothing)
{
    expectRenders({
        {"script", u"a<script>var x = '<b>';</script>b", u"ab"},
        {"style", u"a<style>p { color: red }</style>b", u"ab"},
        {"noscript", u"a<noscript>enable scripts</noscript>b", u"ab"},
        {"template", u"a<template><p>t</p></template>b", u"ab"},
        {"title in the body", u"<body>a<title>t</title>b</body>", u"ab"},
        {"hidden attribute", u"a<div hidden>x</div><span hidden=\"hidden\">y</span>b", u"ab"},
        {"inline display none", u"a<span style=\"display: none\">x</span>b", u"ab"},
        {"inline display none in capitals and with important",
         u"a<span style=\"color:red; DISPLAY : NONE !important;\">x</span>b", u"ab"},
        {"a later display declaration wins", u"a<span style=\"display:none;display:inline\">x</span>b",
         u"axb"},
        {"other display values show", u"a<span style=\"display:none-ish\">x</span>b", u"axb"},
        {"hidden input", u"a<input type=HIDDEN value=x>b", u"ab"},
        {"iframe fallback", u"a<iframe>inner</iframe>b", u"ab"},
        {"closed details show only the summary", u"<details><summary>S</summary>body</details>", u"S"},
        {"open details", u"<details open><summary>S</summary>body</details>", u"S\r\nbody"},
        {"select options on their own lines", u"<select><option>a</option><option>b</option></select>",
         u"a\r\nb"},
        {"svg text only", u"a<svg><title>tip</title><text>label</text></svg>b", u"alabelb"},
        {"frameset page has no body", u"<frameset><frame src=a></frameset>", u""},
    });
}

TEST(StripWithBrowser, RendersOnlyUpToTheFirstHtmlEndTag)
{
    expectRenders({
        {"junk after the end tag", u"<html><body><p>a</p></body></html>junk<p>more</p>", u"a"},
        {"end tag in any letter case", u"<HTML><BODY>a</BODY></Html>junk", u"a"},
        {"the first end tag counts", u"<p>a</p></html><p>b</p></html>c", u"a"},
        {"without an end tag everything counts", u"<p>a</p>b", u"a\r\n\r\nb"},
    });
}

TEST(StripWithBrowser, DeletesTheCompatibilityMetaTagOfOneExactSpelling)
{
    // Inside <xmp> the tag would be shown as text, so its deletion shows.
    expectRenders({
        {"exact spelling",
         u"<xmp>a<meta http-equiv=\"X-UA-Compatible\" content=\"IE=edge,chrome=1\"/>b</xmp>", u"ab"},
        {"letter case ignored",
         u"<xmp>a<META HTTP-EQUIV=\"x-ua-compatible\" CONTENT=\"ie=EDGE,CHROME=1\"/>b</xmp>", u"ab"},
        {"other spacing stays",
         u"<xmp>a<meta http-equiv=\"X-UA-Compatible\" content=\"IE=edge,chrome=1\" />b</xmp>",
         u"a<meta http-equiv=\"X-UA-Compatible\" content=\"IE=edge,chrome=1\" />b"},
        {"other quotes stay", u"<xmp>a<meta http-equiv='X-UA-Compatible' content='IE=edge,chrome=1'/>b</xmp>",
         u"a<meta http-equiv='X-UA-Compatible' content='IE=edge,chrome=1'/>b"},
    });
}

TEST(StripWithBrowser, RemovesSoftHyphens)
{
    expectRenders({
        {"written as a reference", u"<p>co&shy;oper&shy;ate</p>", u"cooperate"},
        {"written as the character", u"<p>co\u00ADoperate</p>", u"cooperate"},
    });
}

TEST(StripWithBrowser, SurvivesVeryDeepNesting)
{
    // Unclosed elements nest as deep as the page is long; neither the walk
    // nor the disposal of the parse tree may recurse per level.
    constexpr int kDepth = 300000;
    QString page;
    page.reserve(kDepth * 7 + 10);
    for (int i = 0; i < kDepth; ++i)
        page += QStringLiteral("<span>x");
    EXPECT_EQ(StripWithBrowser(page), QString(kDepth, u'x'));

    constexpr int kBlocks = 3000;
    QString blocks;
    for (int i = 0; i < kBlocks; ++i)
        blocks += QStringLiteral("<div>x");
    QStringList lines;
    for (int i = 0; i < kBlocks; ++i)
        lines.append(QStringLiteral("x"));
    EXPECT_EQ(StripWithBrowser(blocks), lines.join(QStringLiteral("\r\n")));
}

} // namespace

namespace {

TEST(StripWithBrowserUtf8, RendersExactlyAsTheDecodedPage)
{
    const struct {
        const char *name;
        QByteArray page;
    } cases[] = {
        {"plain page", "<p>caf\xC3\xA9 \xF0\x9F\x98\x80</p><div>\xEF\xBF\xBE</div>"},
        {"cut after the first html end tag", "<p>a</p></HtMl><p>b</p></html>c"},
        {"html end tag cut short at the end", "<p>a</p></htm"},
        {"compatibility meta tag twice",
         "<meta http-equiv=\"X-UA-Compatible\" content=\"IE=edge,chrome=1\"/>a"
         "<META HTTP-EQUIV=\"x-ua-compatible\" CONTENT=\"ie=edge,chrome=1\"/>b"},
        {"meta tag cut short at the end", "a<meta http-equiv=\"X-UA-Compatible\" content="},
        {"NUL character", QByteArray("<p>a\0b</p>", 10)},
        {"soft hyphen", "<p>Wort\xC2\xADtrennung</p>"},
        {"malformed bytes", "<p>\xC3 \xED\xA0\x80 \xC0\xAF \xF4\x90\x80\x80 \xFF</p>"},
        {"sequence cut by the end", "<p>a</p>\xE2\x82"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(StripWithBrowserUtf8(c.page), StripWithBrowser(QString::fromUtf8(c.page)));
    }
    EXPECT_EQ(StripWithBrowserUtf8("<p>caf\xC3\xA9</p></html><p>x</p>"), QString::fromUtf8("caf\xC3\xA9"));
}

} // namespace
