#pragma once
#include "html/attrdict.h"
#include <QString>
#include <QStringList>
#include <QStringView>
#include <cstdint>
#include <memory>
#include <memory_resource>
#include <optional>
#include <span>
#include <vector>

// The in-memory form of one HTML page: a tree of nodes that the parser builds,
// the XPath evaluator searches and the extraction for a check reads. Tag
// names, attribute texts and texts are kept as the page writes them (trimmed);
// every comparison that ignores case does so at query time.
namespace sentrel {

class TDomTree;
class TDomTreeNode;
class TNodeList;

// What a node is; its TypeTag format string follows from it.
enum class NodeKind : std::uint8_t {
    Element,     // "<%s>": opened by a start tag, raw-text elements included
    SelfClosed,  // "<%s/>"
    Closing,     // "</%s>": an end tag, kept where it was read
    Declaration, // "%s": comment, document type, "<!..." or "<?..." construct
    Plain,       // "": text node or root
};

// The TypeTag format string of a kind: "<%s>", "<%s/>", "</%s>", "%s" or "".
QString typeTagOf(NodeKind kind);

// Releases a node made by TDomTreeNode::Create. A node of a tree lives in the
// tree's arena and is destroyed with the tree, all of its nodes in one flat
// pass; a node made without a tree lives on the heap and goes at once.
struct TDomTreeNodeDeleter {
    void operator()(TDomTreeNode *node) const;
};
using TDomTreeNodePtr = std::unique_ptr<TDomTreeNode, TDomTreeNodeDeleter>;

// The child nodes of a node, in document order; owns them. In a tree the
// nodes go with the tree; outside one, destroying the list destroys every node
// in it with its subtree. Neither recurses once per tree level, so trees
// hundreds of thousands of levels deep are released safely.
class TChildList {
public:
    // `arena`: the memory of the tree the list belongs to; null outside a tree.
    explicit TChildList(std::pmr::memory_resource *arena = nullptr);
    ~TChildList();
    TChildList(const TChildList &) = delete;
    TChildList &operator=(const TChildList &) = delete;

    qsizetype Count() const { return qsizetype(items_.size()); }
    bool isEmpty() const { return items_.empty(); }
    TDomTreeNode *Get(qsizetype index) const { return items_[std::size_t(index)].get(); }
    TDomTreeNode *operator[](qsizetype index) const { return Get(index); }
    // Appends the node at the end and returns it. The node must have been made
    // for the same tree as the list's node (or, like it, for none).
    TDomTreeNode *Add(TDomTreeNodePtr node);

private:
    bool inTree() const { return items_.get_allocator().resource() != std::pmr::new_delete_resource(); }

    std::pmr::vector<TDomTreeNodePtr> items_;
};

// Query results: nodes in order, not owned, the same node possibly more than
// once. Valid only while their tree lives.
class TNodeList {
public:
    qsizetype Count() const { return qsizetype(items_.size()); }
    bool isEmpty() const { return items_.empty(); }
    TDomTreeNode *Get(qsizetype index) const { return items_[std::size_t(index)]; }
    TDomTreeNode *operator[](qsizetype index) const { return Get(index); }
    void Add(TDomTreeNode *node) { items_.push_back(node); }
    void Append(const TNodeList &other)
    {
        items_.insert(items_.end(), other.items_.begin(), other.items_.end());
    }
    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }

private:
    std::vector<TDomTreeNode *> items_;
};

class TDomTreeNode {
public:
    // Makes a node: stores the fields and counts the node in its tree; the
    // caller appends it to the parent's child list. The node takes over the
    // dictionary (none: std::nullopt). hParent is null for the root, whose
    // parent is the tree itself. A node of a tree and its child list are
    // placed in the tree's arena next to the nodes made before it, so that
    // walks in document order read memory in order.
    static TDomTreeNodePtr Create(TDomTree *hOwner, TDomTreeNode *hParent, QString hTag, QString hAttrTxt,
                                  std::optional<AttributeDict> hAttr, NodeKind hTypeTag, QString hText);
    ~TDomTreeNode();
    TDomTreeNode(const TDomTreeNode &) = delete;
    TDomTreeNode &operator=(const TDomTreeNode &) = delete;

    const QString &Tag() const { return fTag; }
    const QString &AttributesTxt() const { return fAttributesTxt; }
    const AttributeDict *Attributes() const { return fAttributes; } // null: none
    const QString &Text() const { return fText; }
    NodeKind Kind() const { return fKind; }
    QString TypeTag() const { return typeTagOf(fKind); }
    TChildList &Child() { return fChild; }
    const TChildList &Child() const { return fChild; }
    // The enclosing node; null for the root, whose parent is the tree.
    TDomTreeNode *ParentNode() const { return fParent; }
    TDomTree *Owner() const { return fOwner; }

    bool IsRoot() const { return fParent == nullptr; }
    // Levels below the node without a parent (the root: 0).
    int Depth() const { return fDepth; }
    // Position in the tree's DocumentOrder(), or -1 when not known.
    qsizetype DocumentIndex() const { return fIndex; }
    // Tag and TypeTag empty, Text not.
    bool IsTextNode() const;
    // Tag begins with "<!--" and TypeTag is "%s".
    bool IsComment() const;
    bool IsClosingTag() const { return fKind == NodeKind::Closing; }

    // The value stored for the key (exact match), or "".
    QString GetAttrValue(QStringView hAttrName) const;
    // The node printed as a tag: "<div id=main>", "<p >", "<br />", "</div >", a
    // declaration followed by a blank; "" for text nodes and the root.
    QString GetTagName() const;
    // The Text of the hIndex-th direct text child (from 1; 0: the first), or "".
    QString GetTextValue(int hIndex) const;
    // The Tag of the hIndex-th direct comment child, counted the same way, or "".
    QString GetComment(int hIndex) const;
    // A path expression leading to this node; with hRelative it starts at the
    // nearest ancestor with an id. "." for the root; "" for declarations of
    // document type and processing instructions.
    QString GetXPath(bool hRelative) const;

    // Parses the page text into nodes below this node (parser.cpp). Returns
    // whether the tree has nodes; throws Error "Input text not contain HTML
    // tags" when the text holds no tag.
    bool RunParse(QStringView HtmlTxt);

    // Selects nodes with a path expression (xpath.cpp); see there.
    bool FindXPath(QStringView hXPathTxt, TNodeList &dListNode, QStringList &dListValue);
    bool FindNode(QStringView hNameTag, int hIndex, QStringView hAttrTxt, bool hAnyLevel,
                  TNodeList &dListNode);
    bool FindTagOfIndex(QStringView hNameTag, int hIndex, bool hAnyLevel, TNodeList &dListNode);

private:
    friend class HtmlParseRun;
    friend class TChildList;
    friend class TDomTree;
    friend struct TDomTreeNodeDeleter;

    TDomTreeNode(TDomTree *hOwner, TDomTreeNode *hParent, QString hTag, QString hAttrTxt,
                 std::optional<AttributeDict> hAttr, NodeKind hTypeTag, QString hText, bool inArena);

    // "[n]" when more than one sibling has this node's name, else "".
    QString GetSiblingIndex() const;
    // The node that becomes current after this new node of the given kind.
    TDomTreeNode *GetNextParent(NodeKind kind);

    // What a walk over the tree reads of every node (kind, Tag, children)
    // comes first, within one cache line; the rest is read far less often.
    NodeKind fKind;
    bool fInArena = false;
    int fDepth = 0;
    qsizetype fIndex = -1;
    QString fTag;
    TChildList fChild;
    TDomTreeNode *fParent;
    TDomTree *fOwner;
    QString fText;
    QString fAttributesTxt;
    AttributeDict *fAttributes = nullptr; // in the tree's arena for a node of a tree, else on the heap
};

// One parsed page. Created with its root only (Count 0), filled once by
// RootNode()->RunParse(text), queried, destroyed as a whole.
class TDomTree {
public:
    TDomTree();
    ~TDomTree();
    TDomTree(const TDomTree &) = delete;
    TDomTree &operator=(const TDomTree &) = delete;

    // Nodes created for this tree by parsing; the root is not counted.
    int Count() const { return FCount; }
    // The parser's warnings and errors, in the order in which they arose.
    const QStringList &ParseErr() const { return fParseErr; }
    QStringList &ParseErr() { return fParseErr; }
    TDomTreeNode *RootNode() const { return fRootNode.get(); }
    // Every node in the tree in document order, as long as each node joined
    // its parent's child list after all that precedes it in document order
    // (always so for a parsed page): a subtree is then the run that follows
    // its node while the depth stays greater. Empty when not so.
    std::span<TDomTreeNode *const> DocumentOrder() const;
    // Memory that lasts as long as the tree, for what its nodes hold.
    std::pmr::memory_resource *Arena() { return &fArena; }

private:
    friend class TDomTreeNode;
    friend class TChildList;
    void joined(TDomTreeNode *node);

    int FCount = 0;
    QStringList fParseErr;
    std::pmr::monotonic_buffer_resource fArena; // outlives the nodes below
    std::vector<TDomTreeNode *> fNodes;         // every node made for the tree, in the order made
    std::vector<TDomTreeNode *> fOrder;         // the nodes in the tree, in document order
    bool fInOrder = true;                       // whether fOrder is still document order
    TDomTreeNodePtr fRootNode;
};

} // namespace sentrel
