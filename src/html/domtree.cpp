#include "html/domtree.h"

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

TChildList::~TChildList()
{
    // Each node taken off the pending list hands its children over before it
    // dies, so no destructor ever finds a non-empty child list below it.
    std::vector<std::unique_ptr<TDomTreeNode>> pending = std::move(items_);
    while (!pending.empty()) {
        std::unique_ptr<TDomTreeNode> node = std::move(pending.back());
        pending.pop_back();
        auto &children = node->Child().items_;
        for (auto &child : children)
            pending.push_back(std::move(child));
        children.clear();
    }
}

TDomTreeNode *TChildList::Add(std::unique_ptr<TDomTreeNode> node)
{
    items_.push_back(std::move(node));
    return items_.back().get();
}

TDomTreeNode::TDomTreeNode(TDomTree *hOwner, TDomTreeNode *hParent, QString hTag, QString hAttrTxt,
                           std::unique_ptr<AttributeDict> hAttr, NodeKind hTypeTag, QString hText)
    : fTag(std::move(hTag)), fAttributesTxt(std::move(hAttrTxt)), fAttributes(std::move(hAttr)),
      fText(std::move(hText)), fKind(hTypeTag), fParent(hParent), fOwner(hOwner)
{
    if (fOwner)
        ++fOwner->FCount;
}

TDomTreeNode::~TDomTreeNode() = default;

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
    const QString argument = fTag + u' ' + fAttributesTxt;
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

template <typename Test>
const TDomTreeNode *nthChild(const TChildList &children, int index, Test test)
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

TDomTree::TDomTree() : fRootNode(std::make_unique<TDomTreeNode>(this, nullptr, QStringLiteral("Root"), QString(),
                                                                  nullptr, NodeKind::Plain, QString()))
{
    FCount = 0;
}

TDomTree::~TDomTree()
{
    fParseErr.clear();
    fRootNode.reset();
}

} // namespace sentrel
