#include "htmltesting.h"
#include "text/error.h"
#include <gtest/gtest.h>

using namespace sentrel;
using namespace sentrel::testing;

namespace {

// The first node below `from`, in document order, for which `test` holds.
template <typename Test> TDomTreeNode *findFirst(TDomTreeNode *from, Test test)
{
    std::vector<TDomTreeNode *> pending{from};
    while (!pending.empty()) {
        TDomTreeNode *n = pending.back();
        pending.pop_back();
        if (n != from && test(*n))
            return n;
        for (qsizetype i = n->Child().Count() - 1; i >= 0; --i)
            pending.push_back(n->Child()[i]);
    }
    return nullptr;
}

TDomTreeNode *firstTagged(TDomTree &tree, const QString &tag)
{
    return findFirst(tree.RootNode(), [&](const TDomTreeNode &n) { return n.Tag() == tag; });
}

TEST(DomTree, FreshTreeHasOnlyAnUncountedRoot)
{
    TDomTree tree;
    EXPECT_EQ(tree.Count(), 0);
    ASSERT_NE(tree.RootNode(), nullptr);
    EXPECT_EQ(tree.RootNode()->Tag(), QStringLiteral("Root"));
    EXPECT_TRUE(tree.RootNode()->Child().isEmpty());
    EXPECT_TRUE(tree.RootNode()->IsRoot());
    EXPECT_EQ(tree.RootNode()->Owner(), &tree);
    EXPECT_EQ(tree.RootNode()->Attributes(), nullptr);
    EXPECT_TRUE(tree.ParseErr().isEmpty());
}

TEST(DomTree, CountsEveryParsedNodeAndWiresParentsAndOwner)
{
    TDomTree tree;
    // div, text, closing /div, text after it
    EXPECT_TRUE(tree.RootNode()->RunParse(u"<div>a</div>b"));
    EXPECT_EQ(tree.Count(), 4);
    TDomTreeNode *div = tree.RootNode()->Child()[0];
    EXPECT_EQ(div->ParentNode(), tree.RootNode());
    for (qsizetype i = 0; i < div->Child().Count(); ++i) {
        EXPECT_EQ(div->Child()[i]->ParentNode(), div);
        EXPECT_EQ(div->Child()[i]->Owner(), &tree);
    }
}

TEST(DomTree, AttributeNamesCompareExactly)
{
    TDomTree tree;
    tree.RootNode()->RunParse(u"<p id=x class=\"a b\">t</p>");
    TDomTreeNode *p = tree.RootNode()->Child()[0];
    EXPECT_EQ(p->GetAttrValue(u"id"), QStringLiteral("x"));
    EXPECT_EQ(p->GetAttrValue(u"ID"), QString());
    EXPECT_EQ(p->GetAttrValue(u"class"), QStringLiteral("\"a b\"")); // quotes kept
    EXPECT_EQ(p->GetAttrValue(u"missing"), QString());
    // A text node has no dictionary at all.
    EXPECT_EQ(p->Child()[0]->Attributes(), nullptr);
    EXPECT_EQ(p->Child()[0]->GetAttrValue(u"id"), QString());
}

TEST(DomTree, GetTagNamePrintsEachKind)
{
    const struct {
        const char16_t *page;
        const char16_t *tag; // Tag of the node to print
        const char16_t *printed;
    } cases[] = {
        {u"<div id=main>x</div>", u"div", u"<div id=main>"},
        {u"<p>x</p>", u"p", u"<p >"},                 // blank kept without attributes
        {u"<br/>", u"br", u"<br />"},                 // self-closed
        {u"<img src=x />", u"img", u"<img src=x />"}, // blank before "/" kept in the attribute text
        {u"<div>x</div>", u"/div", u"</div >"},       // closing-tag node
        {u"<!-- c -->", u"<!-- c -->", u"<!-- c --> "},
        {u"<!DOCTYPE html><p>", u"<!DOCTYPE html>", u"<!DOCTYPE html> "},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(QString::fromUtf16(c.page).toStdString());
        TDomTree tree;
        tree.RootNode()->RunParse(QString::fromUtf16(c.page));
        TDomTreeNode *node = firstTagged(tree, QString::fromUtf16(c.tag));
        ASSERT_NE(node, nullptr);
        EXPECT_EQ(node->GetTagName(), QString::fromUtf16(c.printed));
    }
}

TEST(DomTree, TextNodesAndTheRootPrintNoTag)
{
    TDomTree tree;
    tree.RootNode()->RunParse(u"<p>x</p>");
    EXPECT_EQ(tree.RootNode()->GetTagName(), QString());
    EXPECT_EQ(tree.RootNode()->Child()[0]->Child()[0]->GetTagName(), QString());
}

TEST(DomTree, TextValueAndCommentCountDirectChildrenOnly)
{
    TDomTree tree;
    tree.RootNode()->RunParse(u"<p>a<b>b</b>c<!--x--><!--y-->d</p><div><span>s</span>t</div>");
    TDomTreeNode *p = tree.RootNode()->Child()[0];
    EXPECT_EQ(p->GetTextValue(0), QStringLiteral("a"));
    EXPECT_EQ(p->GetTextValue(1), QStringLiteral("a"));
    EXPECT_EQ(p->GetTextValue(2), QStringLiteral("c")); // "b" is inside <b>
    EXPECT_EQ(p->GetTextValue(3), QString());           // "d" stays in the second comment's Tag
    EXPECT_EQ(p->GetTextValue(-1), QString());
    EXPECT_EQ(p->GetComment(0), QStringLiteral("<!--x-->"));
    EXPECT_EQ(p->GetComment(2), QStringLiteral("<!--y-->d"));
    EXPECT_EQ(p->GetComment(3), QString());
    // The first child is an element, the second a text: index 0 finds the text.
    TDomTreeNode *div = tree.RootNode()->Child()[1];
    EXPECT_EQ(div->GetTextValue(0), QStringLiteral("t"));
    EXPECT_EQ(div->GetComment(0), QString());
}

TEST(DomTree, GetXPathLeadsToTheNode)
{
    const QString page =
        QStringLiteral("<!DOCTYPE html><?xml x?><html><body><div>x</div><div id=\"TopBox\"><p>y</p></div>"
                       "<!--a--><!--b--><span>z</span></body></html>");
    TDomTree tree;
    tree.RootNode()->RunParse(page);
    auto tagged = [&](const char16_t *tag) { return firstTagged(tree, QString::fromUtf16(tag)); };
    TDomTreeNode *p = tagged(u"p");
    TDomTreeNode *y = findFirst(tree.RootNode(), [](const TDomTreeNode &n) { return n.Text() == u"y"; });
    TDomTreeNode *secondComment = tagged(u"<!--b-->");
    ASSERT_TRUE(p && y && secondComment);

    const struct {
        const char *what;
        const TDomTreeNode *node;
        bool relative;
        const char16_t *path;
    } cases[] = {
        {"the root", tree.RootNode(), false, u"."},
        {"a document type", tagged(u"<!DOCTYPE html>"), false, u""},
        {"a processing instruction", tagged(u"<?xml x?>"), false, u""},
        {"first of two div", tagged(u"div"), false, u"./html/body/div[1]"},
        {"only p of its parent", p, false, u"./html/body/div[2]/p"},
        {"text node", y, false, u"./html/body/div[2]/p/text()"},
        {"second comment", secondComment, false, u"./html/body/comment()[2]"},
        {"relative from the parent's id", p, true, u"//*[@id=\"TopBox\"]/p"},
        {"relative from a grandparent's id", y, true, u"//*[@id=\"TopBox\"]/p/text()"},
        {"relative without an id above", tagged(u"span"), true, u"./html/body/span"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_NE(c.node, nullptr);
        EXPECT_EQ(c.node->GetXPath(c.relative), QString::fromUtf16(c.path));
    }
}

TEST(DomTree, GetXPathIgnoresTheNodesOwnId)
{
    TDomTree tree;
    tree.RootNode()->RunParse(u"<div id=a><p id=b>x</p></div>");
    TDomTreeNode *p = firstTagged(tree, QStringLiteral("p"));
    EXPECT_EQ(p->GetXPath(true), QStringLiteral("//*[@id=a]/p"));
}

TEST(DomTree, PathsFoundByGetXPathSelectTheirNode)
{
    const QString page = QStringLiteral(
        "<html><body><div><p>1</p><p>2</p></div><div id=\"k\"><p>3</p><ul><li>a<li>b</ul></div>"
        "</body></html>");
    TDomTree tree;
    tree.RootNode()->RunParse(page);
    std::vector<TDomTreeNode *> elements;
    findFirst(tree.RootNode(), [&](const TDomTreeNode &n) {
        if (n.Kind() == NodeKind::Element)
            elements.push_back(const_cast<TDomTreeNode *>(&n));
        return false;
    });
    ASSERT_GE(elements.size(), 8u);
    for (TDomTreeNode *e : elements) {
        for (bool relative : {false, true}) {
            const QString path = e->GetXPath(relative);
            SCOPED_TRACE(path.toStdString());
            TNodeList found;
            QStringList values;
            ASSERT_TRUE(tree.RootNode()->FindXPath(path, found, values));
            EXPECT_EQ(found.Count(), 1);
            EXPECT_EQ(found[0], e);
        }
    }
}

TEST(DomTree, NodesJoinOnlyTheirOwnTree)
{
    TDomTree a, b;
    auto make = [](TDomTree *owner, TDomTreeNode *parent) {
        return TDomTreeNode::Create(owner, parent, QStringLiteral("p"), QString(), std::nullopt,
                                    NodeKind::Element, QString());
    };
    EXPECT_THROW(a.RootNode()->Child().Add(make(&b, b.RootNode())), Error);
    EXPECT_THROW(a.RootNode()->Child().Add(make(nullptr, nullptr)), Error);
    TDomTreeNodePtr loose = make(nullptr, nullptr);
    EXPECT_THROW(loose->Child().Add(make(&a, a.RootNode())), Error);
    EXPECT_TRUE(a.RootNode()->Child().isEmpty());
    // Made for a tree but never joined: released with the tree.
    TDomTreeNodePtr spare = make(&a, a.RootNode());
    EXPECT_EQ(a.Count(), 2);
    EXPECT_EQ(b.Count(), 1);
}

TEST(DomTree, NodesJoiningOutOfDocumentOrderAreStillFound)
{
    TDomTree tree;
    auto add = [&](TDomTreeNode *parent, const char16_t *tag) {
        return parent->Child().Add(TDomTreeNode::Create(&tree, parent, QString::fromUtf16(tag), QString(),
                                                        std::nullopt, NodeKind::Element, QString()));
    };
    TDomTreeNode *a = add(tree.RootNode(), u"a");
    add(tree.RootNode(), u"b");
    EXPECT_EQ(tree.DocumentOrder().size(), 3u);
    add(a, u"c"); // joins before "b" in document order
    EXPECT_TRUE(tree.DocumentOrder().empty());
    TNodeList nodes;
    QStringList values;
    ASSERT_TRUE(tree.RootNode()->FindXPath(u"//*", nodes, values));
    ASSERT_EQ(nodes.Count(), 3);
    EXPECT_EQ(nodes[0]->Tag(), QStringLiteral("a"));
    EXPECT_EQ(nodes[1]->Tag(), QStringLiteral("c"));
    EXPECT_EQ(nodes[2]->Tag(), QStringLiteral("b"));
}

TEST(DomTree, NodeListsHoldReferencesAndRepeats)
{
    TDomTree tree;
    tree.RootNode()->RunParse(u"<ul><li>a</li><li>b</li></ul>");
    TNodeList found;
    QStringList values;
    ASSERT_TRUE(tree.RootNode()->FindXPath(u"//li/..", found, values));
    ASSERT_EQ(found.Count(), 2);
    EXPECT_EQ(found[0], found[1]); // the list once per item
    EXPECT_EQ(found.Get(0)->Tag(), QStringLiteral("ul"));
}

} // namespace
