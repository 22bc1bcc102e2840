// RunParse over any page, then a walk over the whole tree reading what the
// XPath evaluator and the extraction read of every node.
#include "fuzzinput.h"
#include "html/domtree.h"
#include "text/error.h"
#include <vector>

using namespace sentrel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString page = fuzz::textOf(fuzz::bytesOf(data, size));
    TDomTree tree;
    try {
        tree.RootNode()->RunParse(page);
    } catch (const Error &) {
        return 0; // no tag at all
    }
    // Depth first without recursion: a fuzzed page may nest thousands deep.
    std::vector<const TDomTreeNode *> pending{tree.RootNode()};
    qsizetype visited = 0, printed = 0;
    while (!pending.empty()) {
        const TDomTreeNode *node = pending.back();
        pending.pop_back();
        ++visited;
        printed += node->GetTagName().size() + node->GetTextValue(0).size() + node->GetComment(1).size() +
                   node->TypeTag().size();
        if (visited < 64) // each path climbs to the root: keep the walk linear
            printed += node->GetXPath(visited % 2 == 0).size();
        if (const AttributeDict *attrs = node->Attributes())
            (void)attrs;
        for (qsizetype i = node->Child().Count() - 1; i >= 0; --i) {
            if (node->Child()[i]->ParentNode() != node)
                __builtin_trap();
            pending.push_back(node->Child()[i]);
        }
    }
    if (visited != tree.Count() + 1)
        __builtin_trap();
    const auto order = tree.DocumentOrder();
    if (!order.empty() && qsizetype(order.size()) != visited)
        __builtin_trap();
    return printed < 0;
}
