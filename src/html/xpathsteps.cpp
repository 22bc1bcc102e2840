#include "html/xpathsteps.h"
#include "text/lines.h"

namespace sentrel {

QString XPathStepReader::splitPatternText()
{
    return QStringLiteral("(/)([\\*@]?[^/]*)");
}

QString XPathStepReader::stepPatternText()
{
    return QStringLiteral("^([\\.\\*@A-Z][-A-Z0-9\\(\\)]*)\\[?([0-9]*)\\]?\\[?@?([^\\]]*)");
}

XPathStepReader::XPathStepReader()
    : split_(splitPatternText(), Regex::NoFlags), step_(stepPatternText(), Regex::Caseless)
{
}

TPrmRecList XPathStepReader::read(QStringView expression)
{
    TPrmRecList steps;
    anyLevel_ = false;
    const RegexSubject subject(expression);
    RegexMatch m;
    bool any = false;
    for (qsizetype from = 0; split_.findNext(subject, from, m); from = m.end()) {
        any = true;
        ParseStep(m.captured(2), steps);
    }
    if (!any || steps.isEmpty())
        throw Error(QStringLiteral("XPath is not correct or empty."));
    return steps;
}

void XPathStepReader::ParseStep(QStringView step, TPrmRecList &steps)
{
    const QStringView trimmed = trimmedView(step);
    if (trimmed.isEmpty()) {
        anyLevel_ = true;
        return;
    }
    if (trimmed == u"..") {
        // The any-level mark passes on to the step after the parent step.
        steps.Add(TPrmRec{QStringLiteral(".."), 0, QString(), false});
        return;
    }
    const RegexSubject subject(trimmed);
    RegexMatch m;
    if (!step_.findNext(subject, 0, m))
        throw Error(QStringLiteral("XPath is not correct ") + u'/' + step.toString());
    bool ok = false;
    int ind = m.captured(2).toInt(&ok, 10);
    if (!ok)
        ind = 0;
    steps.Add(TPrmRec{m.captured(1).toString(), ind, m.captured(3).toString(), anyLevel_});
    anyLevel_ = false;
}

} // namespace sentrel
