#include "storage/urllist.h"
#include "text/lines.h"
#include <QRegularExpression>
#include <QUrl>

namespace sentrel {

namespace {

bool startsWithCaseless(QStringView text, QStringView prefix)
{
    return text.size() >= prefix.size() && equalsAsciiCaseless(text.first(prefix.size()), prefix);
}

} // namespace

QString normalizeUrl(QStringView url)
{
    const QStringView trimmed = trimmedView(url);
    if (trimmed.isEmpty())
        return QString();
    if (startsWithCaseless(trimmed, u"http://") || startsWithCaseless(trimmed, u"https://"))
        return trimmed.toString();
    return QStringLiteral("http://") + trimmed.toString();
}

std::optional<QString> findListedUrl(QStringView typed, const std::function<bool(const QString &)> &isListed)
{
    if (trimmedView(typed).isEmpty())
        return std::nullopt;
    const QString exact = typed.toString();
    if (isListed(exact))
        return exact;
    const QString normalized = normalizeUrl(typed);
    if (normalized != exact && isListed(normalized))
        return normalized;
    return std::nullopt;
}

QString webAddressProblem(QStringView url)
{
    const QStringView trimmed = trimmedView(url);
    if (trimmed.isEmpty())
        return QString();
    for (const QChar c : trimmed) {
        if (c.category() == QChar::Other_Control)
            return QStringLiteral("it holds a control character (U+%1)")
                .arg(QString::number(c.unicode(), 16).toUpper().rightJustified(4, u'0'));
        if (c.isSpace())
            return QStringLiteral("it holds a blank");
    }
    // A scheme is a letter, then letters, digits, "+", "-" or ".", then a
    // colon; a colon followed by digits only up to the path is a port.
    static const QRegularExpression scheme(
        QStringLiteral(R"(^([A-Za-z][A-Za-z0-9+.-]*):(?!\d+(?:[/?#]|$)))"));
    if (const QRegularExpressionMatch m = scheme.match(trimmed.toString()); m.hasMatch()) {
        const QString name = m.captured(1).toLower();
        if (name != u"http" && name != u"https")
            return QStringLiteral("its scheme is \"%1:\", not http or https").arg(m.captured(1));
        if (!trimmed.sliced(m.capturedLength()).startsWith(u"//"))
            return QStringLiteral("\"%1\" is not followed by \"//\"").arg(m.captured(0));
    }
    const QUrl parsed(normalizeUrl(trimmed)); // tolerant, as a browser takes a typed address
    if (!parsed.isValid())
        return QStringLiteral("it is no valid URL (%1)").arg(parsed.errorString());
    if (parsed.host().isEmpty())
        return QStringLiteral("it names no host");
    return QString();
}

} // namespace sentrel
