#include "html/domtree.h"
#include <vector>

// The path expressions the tree gives for its nodes (GetXPath).
namespace sentrel {

namespace {
bool isCommentTag(const QString &tag)
{
    return tag.startsWith(QStringLiteral("<!--"));
}
} // namespace

QString TDomTreeNode::GetSiblingIndex() const
{
    if (!fParent)
        return {};
    // All comments count as one name; text nodes share the empty Tag.
    const bool comment = isCommentTag(fTag);
    int counter = 0, position = 0;
    const TChildList &siblings = fParent->Child();
    for (qsizetype i = 0; i < siblings.Count(); ++i) {
        const TDomTreeNode *s = siblings[i];
        if (s->Tag() == fTag || (comment && isCommentTag(s->Tag()))) {
            ++counter;
            if (s == this)
                position = counter;
        }
    }
    return counter > 1 ? QStringLiteral("[%1]").arg(position) : QString();
}

QString TDomTreeNode::GetXPath(bool hRelative) const
{
    if (fTag.startsWith(QStringLiteral("<?")) || fTag.startsWith(QStringLiteral("<!DOCTYPE")))
        return {};
    if (!fParent)
        return QStringLiteral(".");
    const QString step = isCommentTag(fTag) ? QStringLiteral("comment()")
                         : fTag.isEmpty()   ? QStringLiteral("text()")
                                            : fTag;

    // The ancestors' steps, nearest first, up to the root or to the nearest
    // ancestor with an id; walked in a loop, as trees can be very deep.
    std::vector<QString> ancestors;
    QString head;
    for (const TDomTreeNode *n = this;;) {
        const TDomTreeNode *p = n->fParent;
        if (!p) {
            head = QStringLiteral(".");
            break;
        }
        if (hRelative) {
            const QString id = p->GetAttrValue(u"id");
            if (!id.isEmpty()) {
                head = QStringLiteral("//*[@id=%1]/").arg(id);
                break;
            }
        }
        ancestors.push_back(p->fTag + p->GetSiblingIndex() + u'/');
        n = p;
    }

    QString path = head;
    for (auto it = ancestors.rbegin(); it != ancestors.rend(); ++it)
        path += *it;
    path += step + GetSiblingIndex();
    // The root's own name never shows: "./html/body" rather than ".Root/html/body".
    if (path.startsWith(u'.')) {
        const qsizetype slash = path.indexOf(u'/');
        path = slash < 0 ? QStringLiteral(".") : u'.' + path.mid(slash);
    }
    return path;
}

} // namespace sentrel
