// Pages real sites produce and pages written to hurt: very deep trees from
// unclosed elements, raw-text openings and comments that never close, huge tags.
// Each must be read with the results the patterns define, without exhausting
// the stack. (Their speed is measured in bench_html.)
#include "html/attributes.h"
#include "html/extract.h"
#include "htmltesting.h"
#include <gtest/gtest.h>

using namespace sentrel;
using namespace sentrel::testing;

namespace {

QString repeated(const QString &piece, int times)
{
    QString s;
    s.reserve(piece.size() * times);
    for (int i = 0; i < times; ++i)
        s += piece;
    return s;
}

constexpr int Depth = 200000;

class DeepTree : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(tree.RootNode()->RunParse(repeated(QStringLiteral("<div class=\"c\">t"), Depth)));
    }

    TDomTreeNode *deepest() const
    {
        TDomTreeNode *n = tree.RootNode();
        while (!n->Child().isEmpty() && n->Child()[n->Child().Count() - 1]->Tag() == u"div")
            n = n->Child()[n->Child().Count() - 1];
        return n;
    }

    TDomTree tree;
};

TEST_F(DeepTree, UnclosedElementsNestAllTheWayDown)
{
    EXPECT_EQ(tree.Count(), 2 * Depth); // each div and its text
    EXPECT_TRUE(tree.ParseErr().isEmpty());
    TDomTreeNode *last = deepest();
    int levels = 0;
    for (TDomTreeNode *n = last; !n->IsRoot(); n = n->ParentNode())
        ++levels;
    EXPECT_EQ(levels, Depth);
}

TEST_F(DeepTree, AnyLevelStepsReachEveryLevel)
{
    TNodeList nodes;
    QStringList values;
    ASSERT_TRUE(tree.RootNode()->FindXPath(u"//div[@class=\"c\"]", nodes, values));
    EXPECT_EQ(nodes.Count(), Depth);
    EXPECT_EQ(nodes[Depth - 1], deepest());

    TNodeList texts;
    ASSERT_TRUE(tree.RootNode()->FindXPath(u"//text()", texts, values));
    EXPECT_EQ(texts.Count(), Depth);
    EXPECT_EQ(values.size(), Depth);

    TNodeList parents;
    ASSERT_TRUE(tree.RootNode()->FindXPath(u"//div/text()/..", parents, values));
    EXPECT_EQ(parents.Count(), Depth);
}

TEST_F(DeepTree, PathOfTheDeepestNode)
{
    const QString path = deepest()->GetXPath(false);
    EXPECT_EQ(path, QStringLiteral(".") + repeated(QStringLiteral("/div"), Depth));
    EXPECT_EQ(deepest()->GetXPath(true), path);
}

TEST_F(DeepTree, DumpListsEveryNode)
{
    qsizetype count = 0, longest = 0;
    QString last;
    dumpTree(tree, [&](const QString &line) {
        ++count;
        longest = qMax(longest, line.size());
        if (!line.startsWith(QStringLiteral("ParseErr")))
            last = line;
    });
    EXPECT_EQ(count, 1 + 2 * Depth + 1); // root, nodes, "ParseErr: 0"
    EXPECT_LT(longest, 200);             // indentation stops growing
    EXPECT_TRUE(last.contains(QStringLiteral("[%1] text").arg(Depth + 1))) << last.toStdString();
}

TEST(DeepTrees, ExtractionOfADeepPage)
{
    const QString page = repeated(QStringLiteral("<div>x"), Depth);
    const QString result = ExtractXPathText(page, u"//div", 0, false);
    EXPECT_EQ(result.count(u'\r'), Depth - 1);
    EXPECT_TRUE(result.startsWith(QStringLiteral("<div > x\r<div > x\r")));
}

TEST(DeepTrees, NodesMadeByHandInATree)
{
    TDomTree tree;
    TDomTreeNode *n = tree.RootNode();
    for (int i = 0; i < Depth; ++i)
        n = n->Child().Add(TDomTreeNode::Create(&tree, n, QStringLiteral("b"), QString(), std::nullopt,
                                                NodeKind::Element, QString()));
    EXPECT_EQ(tree.Count(), Depth);
    EXPECT_EQ(n->GetXPath(false), QStringLiteral(".") + repeated(QStringLiteral("/b"), Depth));
}

TEST(DeepTrees, NodesOutsideATreeReleaseDeepSubtrees)
{
    // Without a tree the child lists own and release their nodes, also in a loop.
    TDomTreeNodePtr top = TDomTreeNode::Create(nullptr, nullptr, QStringLiteral("b"), QString(), std::nullopt,
                                               NodeKind::Element, QString());
    TDomTreeNode *n = top.get();
    for (int i = 0; i < Depth; ++i)
        n = n->Child().Add(TDomTreeNode::Create(nullptr, n, QStringLiteral("b"), QString(), std::nullopt,
                                                NodeKind::Element, QString()));
    EXPECT_EQ(n->Owner(), nullptr);
    top.reset();
}

TEST(HostileInput, ScriptsThatNeverClose)
{
    const QString page = repeated(QStringLiteral("<script>var a = 1 < 2;"), 10000);
    TDomTree tree;
    ASSERT_TRUE(tree.RootNode()->RunParse(page));
    // "<script>var a = 1 " is a token of its own; without a closing tag its
    // element is named by the whole token and gets an empty closing child;
    // "< 2;" is read as a tag up to the next ">" ... which is the next script's.
    const TChildList &top = tree.RootNode()->Child();
    ASSERT_GE(top.Count(), 1);
    EXPECT_EQ(top[0]->Tag(), QStringLiteral("<script>var a = 1 "));
    ASSERT_EQ(top[0]->Child().Count(), 1);
    EXPECT_EQ(top[0]->Child()[0]->Kind(), NodeKind::Closing);
    EXPECT_TRUE(top[0]->Child()[0]->Tag().isEmpty());
}

TEST(HostileInput, ScriptOpeningsWithoutAnyGreaterThan)
{
    const QString page = QStringLiteral("<p>a</p>") + repeated(QStringLiteral("<script src=x"), 10000);
    EXPECT_EQ(treeOf(page), lines({u"root Tag=\"Root\"", u"  element Tag=\"p\"", u"    text Text=\"a\"",
                                   u"    closing Tag=\"/p\""}));
}

TEST(HostileInput, ManyOpeningsBeforeOneGreaterThan)
{
    const QString page = repeated(QStringLiteral("<script"), 10000) + QStringLiteral(">x");
    TDomTree tree;
    ASSERT_TRUE(tree.RootNode()->RunParse(page));
    ASSERT_EQ(tree.RootNode()->Child().Count(), 1);
    EXPECT_EQ(tree.RootNode()->Child()[0]->Tag(), page); // one token, not closed
    EXPECT_TRUE(tree.ParseErr().isEmpty());
}

TEST(HostileInput, CommentsThatNeverClose)
{
    const QString page = repeated(QStringLiteral("<!-- a > b "), 10000);
    TDomTree tree;
    ASSERT_TRUE(tree.RootNode()->RunParse(page));
    // Each "<!-- a > b " falls back to an ordinary token and stays a comment.
    ASSERT_EQ(tree.RootNode()->Child().Count(), 10000);
    EXPECT_EQ(tree.RootNode()->Child()[9999]->Tag(), QStringLiteral("<!-- a > b"));
    EXPECT_TRUE(tree.RootNode()->Child()[9999]->IsComment());
}

TEST(HostileInput, LessThanSignsWithoutTags)
{
    const QString page = QStringLiteral("<p>x") + repeated(QStringLiteral("<<"), 500000);
    EXPECT_EQ(treeOf(page), lines({u"root Tag=\"Root\"", u"  element Tag=\"p\"", u"    text Text=\"x\""}));
}

TEST(HostileInput, MegabyteAttributeTexts)
{
    const QString big = repeated(QStringLiteral("abcdefgh"), 1 << 17); // 1 Mi characters
    {
        // One long quoted value.
        TDomTree tree;
        tree.RootNode()->RunParse(QStringLiteral("<div data-x=\"") + big + QStringLiteral("\">t</div>"));
        EXPECT_EQ(tree.RootNode()->Child()[0]->GetAttrValue(u"data-x"), u'"' + big + u'"');
        EXPECT_TRUE(tree.ParseErr().isEmpty());
    }
    {
        // One long word without "=": nothing matches.
        TDomTree tree;
        tree.RootNode()->RunParse(QStringLiteral("<div ") + big + QStringLiteral(">t</div>"));
        EXPECT_TRUE(tree.RootNode()->Child()[0]->Attributes()->isEmpty());
        EXPECT_EQ(tree.ParseErr(),
                  QStringList{QStringLiteral("Attributtes not found - Sourse string: ") + big});
    }
    {
        // A long word ending in "=": its "=" has no value after it.
        TDomTree tree;
        tree.RootNode()->RunParse(QStringLiteral("<div ") + big + QStringLiteral("=>t</div>"));
        EXPECT_TRUE(tree.RootNode()->Child()[0]->Attributes()->isEmpty());
        EXPECT_EQ(tree.ParseErr().size(), 1);
    }
    {
        // Many pairs, every name given again and again: each warning would
        // repeat the whole text, so only the first twenty are written out.
        const QString pairs = repeated(QStringLiteral("a=1 b=2 "), 50000);
        TDomTree tree;
        tree.RootNode()->RunParse(QStringLiteral("<p ") + pairs + QStringLiteral(">t</p>"));
        EXPECT_EQ(tree.RootNode()->Child()[0]->Attributes()->size(), 2);
        ASSERT_EQ(tree.ParseErr().size(), 21);
        EXPECT_TRUE(tree.ParseErr()[19].endsWith(QStringLiteral(" attributtes: b")));
        EXPECT_EQ(tree.ParseErr()[20],
                  QStringLiteral("Warning: not add Attributtes DuplicateKeyError : 99978 more keys "
                                 "already present in the same attribute text"));
    }
    {
        // Long blanks, then a bare word of the table.
        const QString blanks = repeated(QStringLiteral(" \t"), 1 << 19);
        const html::AttributePattern pattern(html::AttributePattern::Kind::Attribute);
        QStringList errors;
        const auto dict =
            html::ParseAttributes(QStringLiteral("x") + blanks + QStringLiteral("hidden"), pattern, errors);
        ASSERT_EQ(dict.size(), 1);
        EXPECT_EQ(dict.entries()[0], (AttributeDict::Entry{QStringLiteral("hidden"), QString()}));
        ASSERT_EQ(errors.size(), 1);
        EXPECT_TRUE(errors[0].endsWith(QStringLiteral("not parsed string: x")));
    }
}

TEST(HostileInput, RawTokenFullOfTagsWhoseOpeningIsNotClosed)
{
    // "<scriptx>" is not closed by "</script>", so the raw-text pattern looks
    // further and takes the first "<b>...</b>" inside.
    const QString page = QStringLiteral("<scriptx>") + repeated(QStringLiteral("<a>"), 20000) +
                         QStringLiteral("<b>in</b></script>");
    TDomTree tree;
    ASSERT_TRUE(tree.RootNode()->RunParse(page));
    const TDomTreeNode *raw = tree.RootNode()->Child()[0];
    EXPECT_EQ(raw->Tag(), QStringLiteral("b"));
    EXPECT_EQ(raw->GetTextValue(0), QStringLiteral("in"));
    EXPECT_EQ(raw->Child()[1]->Tag(), QStringLiteral("/b"));
    EXPECT_EQ(tree.ParseErr().size(), 1); // text before and after the match is not kept
}

TEST(HostileInput, HugeRawElementIsOneToken)
{
    // More characters than the pattern library's default backtracking budget.
    const QString content = repeated(QStringLiteral("x = a < b; "), 1200000);
    const QString page = QStringLiteral("<script>") + content + QStringLiteral("</script><p>after</p>");
    TDomTree tree;
    ASSERT_TRUE(tree.RootNode()->RunParse(page));
    ASSERT_EQ(tree.RootNode()->Child().Count(), 2);
    EXPECT_EQ(tree.RootNode()->Child()[0]->GetTextValue(0), content.trimmed());
    EXPECT_EQ(tree.RootNode()->Child()[1]->Tag(), QStringLiteral("p"));
}

} // namespace
