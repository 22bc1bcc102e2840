#include "html/treedump.h"
#include <utility>
#include <vector>

namespace sentrel {

QString nodeKindName(const TDomTreeNode &node)
{
    if (node.IsRoot())
        return QStringLiteral("root");
    switch (node.Kind()) {
    case NodeKind::Element:
        return QStringLiteral("element");
    case NodeKind::SelfClosed:
        return QStringLiteral("self-closed");
    case NodeKind::Closing:
        return QStringLiteral("closing");
    case NodeKind::Declaration:
        return node.IsComment() ? QStringLiteral("comment") : QStringLiteral("declaration");
    case NodeKind::Plain:
        break;
    }
    return QStringLiteral("text");
}

QString quoted(QStringView text)
{
    QString out;
    out.reserve(text.size() + 2);
    out += u'"';
    for (QChar c : text) {
        switch (c.unicode()) {
        case u'"':
            out += QStringLiteral("\\\"");
            break;
        case u'\\':
            out += QStringLiteral("\\\\");
            break;
        case u'\r':
            out += QStringLiteral("\\r");
            break;
        case u'\n':
            out += QStringLiteral("\\n");
            break;
        case u'\t':
            out += QStringLiteral("\\t");
            break;
        default:
            if (c.unicode() < 0x20 || c.unicode() == 0x7F || c.unicode() == 0x85 || c.unicode() == 0x2028 ||
                c.unicode() == 0x2029)
                out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
            else
                out += c;
        }
    }
    out += u'"';
    return out;
}

namespace {

QString lineOf(const TDomTreeNode &node, int depth)
{
    QString line;
    if (depth > DumpIndentCap)
        line = QString(qsizetype(2) * DumpIndentCap, u' ') + QStringLiteral("[%1] ").arg(depth);
    else
        line = QString(qsizetype(2) * depth, u' ');
    line += nodeKindName(node);
    if (!node.Tag().isEmpty())
        line += QStringLiteral(" Tag=") + quoted(node.Tag());
    if (!node.AttributesTxt().isEmpty())
        line += QStringLiteral(" AttributesTxt=") + quoted(node.AttributesTxt());
    if (!node.Text().isEmpty())
        line += QStringLiteral(" Text=") + quoted(node.Text());
    return line;
}

} // namespace

void dumpTree(const TDomTree &tree, const std::function<void(const QString &line)> &writeLine)
{
    // Document order on an explicit stack: trees can be very deep.
    std::vector<std::pair<const TDomTreeNode *, int>> pending{{tree.RootNode(), 0}};
    while (!pending.empty()) {
        const auto [node, depth] = pending.back();
        pending.pop_back();
        writeLine(lineOf(*node, depth));
        const TChildList &children = node->Child();
        for (qsizetype i = children.Count() - 1; i >= 0; --i)
            pending.emplace_back(children[i], depth + 1);
    }
    writeLine(QStringLiteral("ParseErr: %1").arg(tree.ParseErr().size()));
    for (const QString &message : tree.ParseErr())
        writeLine(quoted(message));
}

} // namespace sentrel
