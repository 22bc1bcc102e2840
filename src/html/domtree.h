#pragma once
#include "html/attrdict.h"
#include <QString>
#include <QStringList>
#include <QStringView>
#include <memory>
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
enum class NodeKind {
    Element,     // "<%s>": opened by a start tag, raw-text elements included
    SelfClosed,  // "<%s/>"
    Closing,     // "</%s>": an end tag, kept where it was read
    Declaration, // "%s": comment, document type, "<!..." or "<?..." construct
    Plain,       // "": text node or root
};

// The TypeTag format string of a kind: "<%s>", "<%s/>", "</%s>", "%s" or "".
QString typeTagOf(NodeKind kind);

// The child nodes of a node, in document order; owns them. Destroying the list
// destroys every node in it with its subtree, without recursing once per tree
// level, so that trees thousands of levels deep are released safely.
class TChildList {
public:
    TChildList() = default;
    ~TChildList();
    TChildList(const TChildList &) = delete;
    TChildList &operator=(const TChildList &) = delete;

    qsizetype Count() const { return qsizetype(items_.size()); }
    bool isEmpty() const { return items_.empty(); }
    TDomTreeNode *Get(qsizetype index) const { return items_[std::size_t(index)].get(); }
    TDomTreeNode *operator[](qsizetype index) const { return Get(index); }
    // Appends the node at the end and returns it.
    TDomTreeNode *Add(std::unique_ptr<TDomTreeNode> node);

private:
    std::vector<std::unique_ptr<TDomTreeNode>> items_;
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
    void Append(const TNodeList &other) { items_.insert(items_.end(), other.items_.begin(), other.items_.end()); }
    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }

private:
    std::vector<TDomTreeNode *> items_;
};

class TDomTreeNode {
public:
    // Stores the fields and counts the node in its tree; the caller appends
    // it to the parent's child list. The node takes over the dictionary.
    // hParent is null for the root, whose parent is the tree itself.
    TDomTreeNode(TDomTree *hOwner, TDomTreeNode *hParent, QString hTag, QString hAttrTxt,
                 std::unique_ptr<AttributeDict> hAttr, NodeKind hTypeTag, QString hText);
    ~TDomTreeNode();
    TDomTreeNode(const TDomTreeNode &) = delete;
    TDomTreeNode &operator=(const TDomTreeNode &) = delete;

    const QString &Tag() const { return fTag; }
    const QString &AttributesTxt() const { return fAttributesTxt; }
    const AttributeDict *Attributes() const { return fAttributes.get(); } // null: none
    const QString &Text() const { return fText; }
    NodeKind Kind() const { return fKind; }
    QString TypeTag() const { return typeTagOf(fKind); }
    TChildList &Child() { return fChild; }
    const TChildList &Child() const { return fChild; }
    // The enclosing node; null for the root, whose parent is the tree.
    TDomTreeNode *ParentNode() const { return fParent; }
    TDomTree *Owner() const { return fOwner; }

    bool IsRoot() const { return fParent == nullptr; }
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

    // "[n]" when more than one sibling has this node's name, else "".
    QString GetSiblingIndex() const;
    // The node that becomes current after this new node of the given kind.
    TDomTreeNode *GetNextParent(NodeKind kind);

    QString fTag;
    QString fAttributesTxt;
    std::unique_ptr<AttributeDict> fAttributes;
    QString fText;
    NodeKind fKind;
    TChildList fChild;
    TDomTreeNode *fParent;
    TDomTree *fOwner;
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

private:
    friend class TDomTreeNode;
    int FCount = 0;
    QStringList fParseErr;
    std::unique_ptr<TDomTreeNode> fRootNode;
};

} // namespace sentrel
