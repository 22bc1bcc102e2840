#pragma once
#include "html/domtree.h"
#include "html/treedump.h"
#include "support/qtext.h"
#include <QStringList>

// Helpers the html tests share: the tree of a page as dump lines, and what an
// expression selects in a page.
namespace sentrel::testing {

// The dump lines of the parsed page, without the ParseErr part.
inline QStringList treeOf(const TDomTree &tree)
{
    QStringList lines;
    dumpTree(tree, [&](const QString &line) { lines.append(line); });
    while (!lines.isEmpty() && !lines.last().startsWith(QStringLiteral("ParseErr: ")))
        lines.removeLast();
    if (!lines.isEmpty())
        lines.removeLast();
    return lines;
}

inline QStringList treeOf(QStringView page)
{
    TDomTree tree;
    tree.RootNode()->RunParse(page);
    return treeOf(tree);
}

inline QStringList parseErrOf(QStringView page)
{
    TDomTree tree;
    tree.RootNode()->RunParse(page);
    return tree.ParseErr();
}

struct Selection {
    bool result = false;
    QStringList nodes; // GetTagName of every selected node
    QStringList values;
};

inline Selection select(QStringView page, QStringView expression)
{
    TDomTree tree;
    tree.RootNode()->RunParse(page);
    TNodeList nodes;
    Selection s;
    s.result = tree.RootNode()->FindXPath(expression, nodes, s.values);
    for (TDomTreeNode *n : nodes)
        s.nodes.append(n->GetTagName());
    return s;
}

inline QStringList lines(std::initializer_list<const char16_t *> items)
{
    QStringList out;
    for (const char16_t *i : items)
        out.append(QString::fromUtf16(i));
    return out;
}

} // namespace sentrel::testing
