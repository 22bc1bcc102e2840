#include "html/domtree.h"
#include "html/xpathsearch.h"
#include "html/xpathsteps.h"
#include <optional>
#include <utility>
#include <vector>

// The XPath evaluator: a small dialect of child and any-depth steps, names or
// "*", a position among same-named siblings, one attribute predicate compared
// as text, parent steps, and a last step that may ask for text nodes,
// comments or an attribute's values.
namespace sentrel {

namespace {

// The evaluation state of one FindXPath call.
class XPathWalk {
public:
    XPathWalk(const TPrmRecList &steps, qsizetype lastElementStep)
        : steps_(steps), lastElementStep_(lastElementStep), predicates_(std::size_t(steps.Count()))
    {
    }

    // Appends the results of the steps from 0 on, started at `start`. Results
    // come grouped by the nodes of the first step, each group in the order of
    // the later steps: the same order a depth-first recursion over the steps
    // gives, kept here on an explicit stack.
    void WalkSteps(TDomTreeNode *start, TNodeList &out)
    {
        std::vector<std::pair<qsizetype, TDomTreeNode *>> pending{{0, start}};
        while (!pending.empty()) {
            const auto [k, node] = pending.back();
            pending.pop_back();
            const TPrmRec &rec = *steps_.Get(k);
            if (rec.TagName == u"..") {
                // The root's parent is the tree, not a node: ".." there selects nothing.
                TDomTreeNode *parent = node->ParentNode();
                if (!parent)
                    continue;
                if (k == lastElementStep_)
                    out.Add(parent);
                else
                    pending.emplace_back(k + 1, parent);
                continue;
            }
            TNodeList found;
            html::findNode(*node, rec.TagName, rec.ind, predicateOf(k), rec.AnyLevel, found);
            if (k == lastElementStep_) {
                out.Append(found);
                continue;
            }
            for (qsizetype i = found.Count() - 1; i >= 0; --i)
                pending.emplace_back(k + 1, found[i]);
        }
    }

private:
    // Read when a step first needs it, so that a predicate the pattern cannot
    // read raises its error only where the walk reaches that step.
    const html::XPathPredicate *predicateOf(qsizetype k)
    {
        const TPrmRec &rec = *steps_.Get(k);
        if (rec.Attr.isEmpty())
            return nullptr;
        auto &slot = predicates_[std::size_t(k)];
        if (!slot)
            slot = reader_.read(rec.Attr);
        return &*slot;
    }

    const TPrmRecList &steps_;
    qsizetype lastElementStep_;
    html::PredicateReader reader_;
    std::vector<std::optional<html::XPathPredicate>> predicates_;
};

} // namespace

bool TDomTreeNode::FindXPath(QStringView hXPathTxt, TNodeList &dListNode, QStringList &dListValue)
{
    XPathStepReader reader;
    const TPrmRecList steps = reader.read(hXPathTxt);
    const qsizetype nodesBefore = dListNode.Count();
    const qsizetype valuesBefore = dListValue.size();
    const TPrmRec &last = *steps.Get(steps.Count() - 1);

    if (last.TagName.startsWith(u'@')) {
        // An attribute step: the values of that attribute on the nodes the
        // steps before it select. With no step before it there is no node to
        // read from, so nothing is selected.
        QString attribute = last.TagName;
        attribute.remove(u'@');
        const qsizetype lastElementStep = steps.Count() - 2;
        if (lastElementStep < 0)
            return false;
        XPathWalk(steps, lastElementStep).WalkSteps(this, dListNode);
        if (dListNode.Count() == nodesBefore)
            return false;
        for (qsizetype i = nodesBefore; i < dListNode.Count(); ++i) {
            const QString value = dListNode[i]->GetAttrValue(attribute);
            if (!value.isEmpty())
                dListValue.append(value);
        }
        return dListValue.size() > valuesBefore;
    }

    XPathWalk(steps, steps.Count() - 1).WalkSteps(this, dListNode);
    const bool found = dListNode.Count() > nodesBefore;
    const QString lastName = last.TagName.toLower();
    const bool comments = lastName == u"comment()";
    if (comments || lastName == u"text()")
        for (qsizetype i = nodesBefore; i < dListNode.Count(); ++i)
            dListValue.append(comments ? dListNode[i]->Tag() : dListNode[i]->Text());
    return found;
}

bool TDomTreeNode::FindNode(QStringView hNameTag, int hIndex, QStringView hAttrTxt, bool hAnyLevel,
                            TNodeList &dListNode)
{
    std::optional<html::XPathPredicate> predicate;
    if (!hAttrTxt.isEmpty())
        predicate = html::PredicateReader().read(hAttrTxt);
    return html::findNode(*this, hNameTag, hIndex, predicate ? &*predicate : nullptr, hAnyLevel, dListNode);
}

bool TDomTreeNode::FindTagOfIndex(QStringView hNameTag, int hIndex, bool hAnyLevel, TNodeList &dListNode)
{
    html::findTagOfIndex(*this, hNameTag, hIndex, hAnyLevel, dListNode);
    return !dListNode.isEmpty();
}

} // namespace sentrel
