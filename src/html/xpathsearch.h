#pragma once
#include "html/attrpattern.h"
#include "html/domtree.h"
#include <QString>
#include <QStringView>

// One step of the XPath evaluator taken from one node: the name and position
// search (FindTagOfIndex) and the attribute predicate on top of it (FindNode).
// Both walk the tree in loops, never recursing once per tree level.
namespace sentrel::html {

// A predicate as the predicate pattern reads it: the first non-blank group and
// the group after it, both as matched (blanks kept).
struct XPathPredicate {
    QString name;
    QString value;
};

// Reads predicate texts with the predicate pattern.
class PredicateReader {
public:
    PredicateReader();
    static QString patternText();
    // Throws Error "Attribute not found: " + text when the pattern finds nothing.
    XPathPredicate read(QStringView text) const;

private:
    AttributePattern pattern_;
};

// Children of `start` (all descendants in document order with anyLevel) that
// the step name selects at the position asked for (0: every position),
// positions counted among same-named siblings. Appends them to `out`.
void findTagOfIndex(const TDomTreeNode &start, QStringView name, int index, bool anyLevel, TNodeList &out);

// findTagOfIndex filtered by a predicate: the stored value of the predicate's
// attribute must contain the predicate value (case-sensitive); an empty
// predicate value matches nothing. With an empty name, nodes whose stored
// value equals the predicate value, at any position. Returns whether it appended.
bool findNode(const TDomTreeNode &start, QStringView name, int index, const XPathPredicate *predicate,
              bool anyLevel, TNodeList &out);

} // namespace sentrel::html
