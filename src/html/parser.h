#pragma once
#include "html/attrpattern.h"
#include "html/domtree.h"
#include "html/rawtag.h"
#include "html/stringpool.h"
#include "text/regex.h"
#include <QStringList>

// The HTML parser: a forgiving, pattern-driven reader that turns a page into
// nodes below one node of a tree (TDomTreeNode::RunParse). It cuts the page
// into tokens, turns every token into one or more nodes and keeps a current
// node that start tags descend into and matching end tags climb out of. What
// it cannot read cleanly goes to the tree's ParseErr list; it refuses a page
// only when the page holds no tag at all.
namespace sentrel {

// The parse state of one RunParse call.
class HtmlParseRun {
public:
    explicit HtmlParseRun(TDomTreeNode &start);
    // Throws Error "Input text not contain HTML tags" when no token is found.
    void run(QStringView html);

private:
    void ParseToken(QStringView token);
    TDomTreeNode *append(TDomTreeNode *parent, QString tag, QString attrTxt,
                         std::optional<AttributeDict> attrs, NodeKind kind, QString text);

    TDomTreeNode *current_;
    int gapCounter_ = 0;
    QStringList localErrors_; // for a node that belongs to no tree
    QStringList &parseErr_;
    std::pmr::memory_resource *memory_; // the tree's: dictionaries go with it
    Regex tagPattern_;
    html::RawTagMatcher rawPattern_;
    html::AttributePattern attributePattern_;
    html::StringPool pool_;
};

// Whether the (trimmed) element name is one that never becomes current.
bool isVoidElement(QStringView name);

} // namespace sentrel
