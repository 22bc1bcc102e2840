#include "html/extract.h"
#include "html/domtree.h"
#include "text/error.h"

namespace sentrel {

namespace {

QString printNode(const TDomTreeNode &node, int mode)
{
    switch (mode) {
    case TagAndText:
        return node.GetTagName() + u' ' + node.GetTextValue(0);
    case TagOnly:
        return node.GetTagName();
    default:
        return node.GetTextValue(0);
    }
}

} // namespace

QString ExtractXPathText(QStringView text, QStringView expression, int mode, bool showErrors,
                         MessageSink *errors)
{
    QString result;
    bool failed = false;
    QString failure;
    try {
        TNodeList nodes;
        QStringList values; // filled by the evaluator, not part of the result
        TDomTree tree;
        if (tree.RootNode()->RunParse(text) && tree.RootNode()->FindXPath(expression, nodes, values)) {
            for (qsizetype i = 0; i < nodes.Count(); ++i) {
                if (i > 0)
                    result += u'\r';
                result += printNode(*nodes[i], mode);
            }
        }
    } catch (const Error &e) {
        failed = true;
        failure = e.message();
    } catch (const std::exception &e) {
        failed = true;
        failure = QString::fromUtf8(e.what());
    }
    if (failed) {
        // Every error comes from parsing or evaluation, before anything was printed.
        result.clear();
        if (showErrors && errors)
            errors->showError(QStringLiteral("ERROR"), failure);
    }
    return result;
}

} // namespace sentrel
