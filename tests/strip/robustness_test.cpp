// Hostile pages against the browser strip method: nesting far beyond what a
// real page holds must not make the HTML5 tree construction quadratic, and
// pages within the limit must render exactly as before (the guard hands
// them over untouched). Speed is measured in bench_nesting.
#include "strip/nestinglimit.h"
#include "strip/strippers.h"
#include "support/qtext.h"
#include <QStringList>
#include <gtest/gtest.h>

using namespace sentrel;

namespace {

QString repeated(QStringView piece, int times)
{
    QString s;
    s.reserve(piece.size() * times);
    for (int i = 0; i < times; ++i)
        s += piece;
    return s;
}

struct LimitCase {
    const char *name;
    const char *page;
    int maxDepth;
    const char *limited;
};

TEST(LimitNesting, DropsTheTagsBeyondTheLimitAndKeepsTheirText)
{
    const LimitCase cases[] = {
        {"start and end tags beyond the limit", "<div><div><div><div>t</div></div></div></div>u", 2,
         "<div><div>t</div></div>u"},
        {"an end tag that closes dropped elements too", "<div><p><b><i>t</div>u", 1, "<div>t</div>u"},
        {"letter case of tag names", "<DIV><div>t</Div></DIV>", 1, "<DIV>t</DIV>"},
        {"a '>' in a quoted attribute value", "<div title=\"a>b\"><div class='c>d'>t", 1,
         "<div title=\"a>b\">t"},
        {"void elements do not nest", "<div><br><img src=x><hr/><div>t", 1, "<div><br><img src=x><hr/>t"},
        {"script content is text", "<div><script><div><div></script><div>t", 1,
         "<div><script><div><div></script>t"},
        {"comment content is text", "<div><!--<div><div>--><div>t", 1, "<div><!--<div><div>-->t"},
        {"self-closed foreign elements do not nest", "<div><svg><g/><g/><g>t</g></svg>", 2,
         "<div><svg><g/><g/>t</svg>"},
        {"an end tag without an open element stays", "<div></span><div>t", 1, "<div></span>t"},
        {"HTML start tags end SVG content", "<svg><div/><div/>t", 1, "<svg><div/>t"},
        {"a foreign object holds HTML", "<svg><foreignObject><span/><span/>t", 3,
         "<svg><foreignObject><span/>t"},
        {"after a dropped svg, self-closed tags are HTML", "<div><svg><g/><g/>t", 1, "<div>t"},
        {"after a dropped element, SVG content stays SVG", "<svg><g><link", 1, "<svg>"},
        {"text that would join into a tag or a reference stays apart", "<m><<p>p &am<b>p; x</b>y", 1,
         "<m><<!---->p &am<!---->p; xy"},
    };
    for (const LimitCase &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(limitNesting(QByteArray(c.page), c.maxDepth), QByteArray(c.limited));
    }
}

TEST(LimitNesting, LeavesPagesWithinTheLimitUntouched)
{
    // Each of these has thousands of tags but few open at once, once the
    // elements that close themselves, void elements and raw text are counted
    // as the HTML5 parser counts them.
    const struct {
        const char *name;
        QString page;
    } cases[] = {
        {"unclosed list items", u16(u"<ul>") + repeated(u"<li>item", 20000) + u16(u"</ul>")},
        {"unclosed paragraphs", repeated(u"<p>text", 20000)},
        {"paragraphs closed by blocks", repeated(u"<p>a<div>b</div>", 20000)},
        {"unclosed options", u16(u"<select>") + repeated(u"<option>o", 20000)},
        {"unclosed cells and rows", u16(u"<table>") + repeated(u"<tr><td>a<td>b", 20000)},
        {"definition terms", u16(u"<dl>") + repeated(u"<dt>a<dd>b", 20000)},
        {"line breaks and images", repeated(u"a<br>b<img src=\"x.png\"><input type=checkbox>", 20000)},
        {"markup inside scripts", repeated(u"<script>document.write('<div><div>')</script>", 20000)},
        {"markup inside comments", repeated(u"<!-- <div><div> -->", 20000)},
        {"self-closed SVG shapes", u16(u"<svg>") + repeated(u"<path d=\"M0 0\"/>", 20000) + u16(u"</svg>")},
        {"closed elements", repeated(u"<div><span><a href=\"x\">a</a></span></div>", 20000)},
        {"nesting right at the limit",
         repeated(u"<div>x", MaxRenderedNesting) + repeated(u"</div>", MaxRenderedNesting) + u16(u"<p>y")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const QByteArray utf8 = c.page.toUtf8();
        EXPECT_EQ(limitNesting(utf8), utf8);
    }
}

TEST(StripWithBrowser, UnclosedBlocksBeyondTheLimitJoinTheDeepestLine)
{
    // 200 000 unclosed <div>s took minutes in the tree construction.
    constexpr int kDepth = 200000;
    QStringList lines;
    for (int i = 1; i < MaxRenderedNesting; ++i)
        lines.append(QStringLiteral("x"));
    lines.append(QString(kDepth - MaxRenderedNesting + 1, u'x'));
    EXPECT_EQ(StripWithBrowser(repeated(u"<div>x", kDepth)), lines.join(QStringLiteral("\r\n")));
}

TEST(StripWithBrowser, ElementsAfterAHostilelyDeepPartRenderAsUsual)
{
    constexpr int kDepth = 3 * MaxRenderedNesting;
    const QString page =
        repeated(u"<div>x", kDepth) + repeated(u"</div>", kDepth) + u16(u"<p>after</p><div>end");
    const QString text = StripWithBrowser(page);
    EXPECT_TRUE(text.startsWith(u16(u"x\r\nx\r\n")));
    EXPECT_TRUE(text.endsWith(u16(u"x\r\n\r\nafter\r\n\r\nend"))) << qPrintable(text.right(40));
    EXPECT_EQ(text.count(u'x'), kDepth);
}

TEST(StripWithBrowser, NestedOpenDetailsFarBeyondTheLimitFinish)
{
    // 50 000 levels of <pre><details open><summary> took over two minutes.
    constexpr int kDepth = 50000;
    const QString text = StripWithBrowser(repeated(u"<pre><details open><summary>x", kDepth));
    EXPECT_EQ(text.count(u'x'), kDepth);
    EXPECT_TRUE(text.startsWith(u16(u"x\r\nx")));
}

TEST(StripWithBrowser, PagesThatWouldSlipPastTheLimitStayWithinIt)
{
    // Each nests 200 000 levels deep for the HTML5 parser in a way that a
    // scan ignoring SVG, MathML and self-closing tags would miss.
    constexpr int kDepth = 200000;
    const struct {
        const char *name;
        QString page;
    } cases[] = {
        {"self-closing HTML tags", repeated(u"<div/>x", kDepth)},
        {"HTML breaking out of SVG", u16(u"<svg>") + repeated(u"<div/>x", kDepth)},
        {"HTML inside a foreign object", u16(u"<svg><foreignObject>") + repeated(u"<span/>x", kDepth)},
        {"nested foreign objects", repeated(u"<svg><foreignObject>x", kDepth / 2)},
        {"self-closed tags after an SVG beyond the limit",
         repeated(u"<div>", MaxRenderedNesting) + u16(u"<svg>") + repeated(u"<g/>x", kDepth)},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const QByteArray limited = limitNesting(c.page.toUtf8());
        EXPECT_NE(limited, c.page.toUtf8());
        EXPECT_EQ(limitNesting(limited), limited) << "what the parser gets is within the limit";
        EXPECT_EQ(StripWithBrowser(c.page).count(u'x'), c.page.count(u'x'));
    }
}

} // namespace
