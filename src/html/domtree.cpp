#include "html/domtree.h"
#include "text/error.h"
#include <algorithm>
#include <iterator>

namespace sentrel {

QString typeTagOf(NodeKind kind)
{
    switch (kind) {
    case NodeKind::Element:
        return QStringLiteral("<%s>");
    case NodeKind::SelfClosed:
        return QStringLiteral("<%s/>");
    case NodeKind::Closing:
        return QStringLiteral("</%s>");
    case NodeKind::Declaration:
        return QStringLiteral("%s");
    case NodeKind::Plain:
        break;
    }
    return {};
}

TChildList::TChildList(std::pmr::memory_resource *arena)
    : items_(arena ? arena : std::pmr::new_delete_resource())
{
}

TChildList::~TChildList()
{
    if (inTree()) {
        // The tree destroys its nodes itself; they may be gone already.
        for (auto &item : items_)
            (void)item.release();
        return;
    }
    // Outside a tree: each node taken off the pending list hands its children
    // over before it dies, so no destructor ever finds a non-empty child list
    // below it.
    std::vector<TDomTreeNodePtr> pending;
    std::move(items_.rbegin(), items_.rend(), std::back_inserter(pending));
    items_.clear();
    while (!pending.empty()) {
        TDomTreeNodePtr node = std::move(pending.back());
        pending.pop_back();
        auto &children = node->fChild.items_;
        std::move(children.rbegin(), children.rend(), std::back_inserter(pending));
        children.clear();
    }
}

TDomTreeNode *TChildList::Add(TDomTreeNodePtr node)
{
    const bool sameTree = inTree()
                              ? node->fInArena && items_.get_allocator().resource() == &node->fOwner->fArena
                              : !node->fInArena;
    if (!sameTree)
        throw Error(QStringLiteral("A node can only join the children of a node of its own tree."));
    TDomTreeNode *parent = node->fParent;
    if (!parent || &parent->fChild != this)
        throw Error(QStringLiteral("A node can only join the children of its own parent."));
    if (inTree())
        node->fOwner->joined(node.get());
    // Most elements have a few children; room for four from the start keeps
    // the list next to its first child in the arena instead of moving it on.
    if (items_.empty())
        items_.reserve(4);
    items_.push_back(std::move(node));
    return items_.back().get();
}

void TDomTree::joined(TDomTreeNode *node)
{
    if (!fInOrder)
        return;
    // The order stays document order when the new node has no children yet
    // and its parent is the last node in order or one of that node's
    // ancestors. The walk up is short: the depth it climbs is at most what
    // the nodes added before it descended.
    const TDomTreeNode *parent = node->fParent;
    const TDomTreeNode *last = fOrder.back();
    while (last && last->fDepth > parent->fDepth)
        last = last->fParent;
    if (last != parent || !node->fChild.isEmpty() || parent->fIndex < 0) {
        fInOrder = false;
        fOrder.clear();
        fOrder.shrink_to_fit();
        return;
    }
    node->fIndex = qsizetype(fOrder.size());
    fOrder.push_back(node);
}

std::span<TDomTreeNode *const> TDomTree::DocumentOrder() const
{
    if (!fInOrder)
        return {};
    return {fOrder.data(), fOrder.size()};
}

void TDomTreeNodeDeleter::operator()(TDomTreeNode *node) const
{
    if (!node->fInArena)
        delete node;
    // A node of a tree goes with its tree.
}

TDomTreeNodePtr TDomTreeNode::Create(TDomTree *hOwner, TDomTreeNode *hParent, QString hTag, QString hAttrTxt,
                                     std::optional<AttributeDict> hAttr, NodeKind hTypeTag, QString hText)
{
    if (!hOwner)
        return TDomTreeNodePtr(new TDomTreeNode(hOwner, hParent, std::move(hTag), std::move(hAttrTxt),
                                                std::move(hAttr), hTypeTag, std::move(hText), false));
    void *memory = hOwner->fArena.allocate(sizeof(TDomTreeNode), alignof(TDomTreeNode));
    auto *node = new (memory) TDomTreeNode(hOwner, hParent, std::move(hTag), std::move(hAttrTxt),
                                           std::move(hAttr), hTypeTag, std::move(hText), true);
    hOwner->fNodes.push_back(node);
    return TDomTreeNodePtr(node);
}

TDomTreeNode::TDomTreeNode(TDomTree *hOwner, TDomTreeNode *hParent, QString hTag, QString hAttrTxt,
                           std::optional<AttributeDict> hAttr, NodeKind hTypeTag, QString hText, bool inArena)
    : fKind(hTypeTag), fInArena(inArena), fDepth(hParent ? hParent->fDepth + 1 : 0), fTag(std::move(hTag)),
      fChild(inArena ? &hOwner->fArena : nullptr), fParent(hParent), fOwner(hOwner), fText(std::move(hText)),
      fAttributesTxt(std::move(hAttrTxt))
{
    if (hAttr) {
        // Most nodes (texts, end tags) have no dictionary: it stays out of the
        // node, which keeps the nodes small and close together.
        if (inArena)
            fAttributes = new (hOwner->fArena.allocate(sizeof(AttributeDict), alignof(AttributeDict)))
                AttributeDict(std::move(*hAttr));
        else
            fAttributes = new AttributeDict(std::move(*hAttr));
    }
    if (fOwner)
        ++fOwner->FCount;
}

TDomTreeNode::~TDomTreeNode()
{
    if (!fAttributes)
        return;
    if (fInArena)
        fAttributes->~AttributeDict(); // its memory goes with the tree
    else
        delete fAttributes;
}

bool TDomTreeNode::IsTextNode() const
{
    return fTag.isEmpty() && fKind == NodeKind::Plain && !fText.isEmpty();
}

bool TDomTreeNode::IsComment() const
{
    return fKind == NodeKind::Declaration && fTag.startsWith(QStringLiteral("<!--"));
}

QString TDomTreeNode::GetAttrValue(QStringView hAttrName) const
{
    if (!fAttributes)
        return {};
    const QString *value = fAttributes->find(hAttrName);
    return value ? *value : QString();
}

QString TDomTreeNode::GetTagName() const
{
    QString argument = fTag + u' ' + fAttributesTxt;
    switch (fKind) {
    case NodeKind::Element:
    case NodeKind::Closing: // "</%s>" printed without its "/": the Tag brings one
        return u'<' + argument + u'>';
    case NodeKind::SelfClosed:
        return u'<' + argument + QStringLiteral("/>");
    case NodeKind::Declaration:
        return argument;
    case NodeKind::Plain:
        break;
    }
    return {};
}

namespace {

template <typename Test> const TDomTreeNode *nthChild(const TChildList &children, int index, Test test)
{
    int counter = 0;
    for (qsizetype i = 0; i < children.Count(); ++i) {
        const TDomTreeNode *child = children[i];
        if (!test(*child))
            continue;
        ++counter;
        if (counter == index || index == 0)
            return child;
    }
    return nullptr;
}

} // namespace

QString TDomTreeNode::GetTextValue(int hIndex) const
{
    const TDomTreeNode *n = nthChild(fChild, hIndex, [](const TDomTreeNode &c) { return c.IsTextNode(); });
    return n ? n->Text() : QString();
}

QString TDomTreeNode::GetComment(int hIndex) const
{
    const TDomTreeNode *n = nthChild(fChild, hIndex, [](const TDomTreeNode &c) { return c.IsComment(); });
    return n ? n->Tag() : QString();
}

TDomTree::TDomTree()
    : fRootNode(TDomTreeNode::Create(this, nullptr, QStringLiteral("Root"), QString(), std::nullopt,
                                     NodeKind::Plain, QString()))
{
    FCount = 0;
    fRootNode->fIndex = 0;
    fOrder.push_back(fRootNode.get());
}

TDomTree::~TDomTree()
{
    fParseErr.clear();
    fRootNode.reset();
    // One flat pass in the order the nodes were made, which is document order
    // for a parsed page: no walk down the tree, no recursion, memory read in
    // order. The child lists let go of their nodes without touching them.
    for (TDomTreeNode *node : fNodes)
        node->~TDomTreeNode();
    fNodes.clear();
}

} // namespace sentrel
