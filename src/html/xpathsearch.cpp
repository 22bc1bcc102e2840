#include "html/xpathsearch.h"
#include "text/lines.h"
#include <QHash>
#include <span>
#include <vector>

namespace sentrel::html {

namespace {

QString asciiUpper(const QString &s)
{
    QString out = s;
    for (QChar &c : out)
        if (c >= u'a' && c <= u'z')
            c = QChar(c.unicode() - 32);
    return out;
}

// Depth-first, document-order visit of the children of `start` (and with
// anyLevel of all descendants: each child's children right after the child).
// `visit(child, frame)` gets the frame of the child's parent, so that counters
// are kept per parent. An explicit stack keeps deep trees off the call stack.
// When no per-parent counter is needed and the tree knows its document order,
// the descendants are the run after `start` in that order: read straight
// through, without chasing pointers down the tree.
template <typename Frame, typename Visit>
void walkChildren(const TDomTreeNode &start, bool anyLevel, bool countsPerParent, Visit visit)
{
    if (anyLevel && !countsPerParent && start.Owner() && start.DocumentIndex() >= 0) {
        const std::span<TDomTreeNode *const> order = start.Owner()->DocumentOrder();
        if (!order.empty()) {
            Frame unused{};
            const int depth = start.Depth();
            for (std::size_t i = std::size_t(start.DocumentIndex()) + 1;
                 i < order.size() && order[i]->Depth() > depth; ++i)
                visit(order[i], unused);
            return;
        }
    }
    struct Level {
        const TDomTreeNode *parent;
        qsizetype next;
        Frame frame;
    };
    std::vector<Level> stack;
    stack.push_back(Level{&start, 0, Frame{}});
    while (!stack.empty()) {
        Level &level = stack.back();
        if (level.next >= level.parent->Child().Count()) {
            stack.pop_back();
            continue;
        }
        TDomTreeNode *child = level.parent->Child()[level.next++];
        visit(child, level.frame);
        if (anyLevel && !child->Child().isEmpty())
            stack.push_back(Level{child, 0, Frame{}}); // `level` is not used after this
    }
}

struct NameCounter {
    int count = 0;
};

struct StarCounter {
    QHash<QString, int> byName; // upper-cased Tag -> siblings so far
};

} // namespace

PredicateReader::PredicateReader() : pattern_(AttributePattern::Kind::Predicate) {}

QString PredicateReader::patternText()
{
    return AttributePattern::patternText(AttributePattern::Kind::Predicate);
}

XPathPredicate PredicateReader::read(QStringView text) const
{
    const QString source = text.toString();
    const RegexSubject subject(source);
    AttributeScan scan(pattern_, subject);
    RegexMatch m;
    if (!scan.next(m))
        throw Error(QStringLiteral("Attribute not found: ") + source);
    for (int g = 1; g < m.groupCount(); ++g) {
        if (trimmedView(m.captured(g)).isEmpty())
            continue;
        return XPathPredicate{m.captured(g).toString(),
                              g + 1 < m.groupCount() ? m.captured(g + 1).toString() : QString()};
    }
    return {};
}

void findTagOfIndex(const TDomTreeNode &start, QStringView name, int index, bool anyLevel, TNodeList &out)
{
    if (name == u"*") {
        // Every node but closing tags; its position counts the siblings so far
        // whose Tag equals its own ignoring case (text nodes count together).
        walkChildren<StarCounter>(start, anyLevel, index != 0,
                                  [&](TDomTreeNode *child, StarCounter &counter) {
                                      if (child->IsClosingTag())
                                          return;
                                      if (index == 0) {
                                          out.Add(child);
                                          return;
                                      }
                                      if (++counter.byName[asciiUpper(child->Tag())] == index)
                                          out.Add(child);
                                  });
        return;
    }
    const bool textStep = equalsAsciiCaseless(name, u"text()");
    const bool commentStep = equalsAsciiCaseless(name, u"comment()");
    walkChildren<NameCounter>(start, anyLevel, index != 0, [&](TDomTreeNode *child, NameCounter &counter) {
        const bool matches = (!child->IsClosingTag() && equalsAsciiCaseless(child->Tag(), name)) ||
                             (textStep && child->IsTextNode()) ||
                             (commentStep && child->Tag().startsWith(QStringLiteral("<!--")));
        if (matches && (++counter.count == index || index == 0))
            out.Add(child);
    });
}

bool findNode(const TDomTreeNode &start, QStringView name, int index, const XPathPredicate *predicate,
              bool anyLevel, TNodeList &out)
{
    const qsizetype before = out.Count();
    if (!predicate) {
        findTagOfIndex(start, name, index, anyLevel, out);
        return out.Count() > before;
    }
    if (!name.isEmpty()) {
        TNodeList candidates;
        findTagOfIndex(start, name, index, anyLevel, candidates);
        if (predicate->value.isEmpty())
            return false;
        for (TDomTreeNode *node : candidates) {
            const QString *stored = node->Attributes() ? node->Attributes()->find(predicate->name) : nullptr;
            if (stored && stored->contains(predicate->value))
                out.Add(node);
        }
        return out.Count() > before;
    }
    // Without a name: exact values, positions play no part.
    walkChildren<NameCounter>(start, anyLevel, false, [&](TDomTreeNode *child, NameCounter &) {
        const QString *stored = child->Attributes() ? child->Attributes()->find(predicate->name) : nullptr;
        if (stored && *stored == predicate->value)
            out.Add(child);
    });
    return out.Count() > before;
}

} // namespace sentrel::html
