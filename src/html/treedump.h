#pragma once
#include "html/domtree.h"
#include <QString>
#include <functional>

// A readable listing of a parsed tree, for finding out why an expression
// selects nothing: one line per node in document order, indented by depth,
// with its kind and its non-empty Tag, AttributesTxt and Text; then the
// parser's messages, one per line. Texts are quoted with their quotes,
// backslashes and control characters escaped, so that each node and each
// message stays on one line.
namespace sentrel {

// Lines deeper than this are indented as this depth and begin with "[depth] ".
constexpr int DumpIndentCap = 40;

void dumpTree(const TDomTree &tree, const std::function<void(const QString &line)> &writeLine);

// The kind a dump line names: "root", "element", "self-closed", "closing",
// "comment", "declaration" or "text".
QString nodeKindName(const TDomTreeNode &node);

// The text between double quotes, with \" \\ \r \n \t and \uXXXX escapes.
QString quoted(QStringView text);

} // namespace sentrel
