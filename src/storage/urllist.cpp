#include "storage/urllist.h"
#include "storage/storeerror.h"
#include "storage/textfile.h"
#include "storage/websitedb.h"
#include "text/lines.h"
#include <QRegularExpression>
#include <QUrl>

namespace sentrel {

namespace {

bool startsWithCaseless(QStringView text, QStringView prefix)
{
    return text.size() >= prefix.size() && equalsAsciiCaseless(text.first(prefix.size()), prefix);
}

bool hasCaption(const UrlRows &rows, QStringView url)
{
    const int n = rows.rowCount();
    for (int i = 0; i < n; ++i)
        if (rows.caption(i) == url)
            return true;
    return false;
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

namespace {

void appendUrl(const QString &normalized, UrlRows &rows, UrlStore &store, StoreErrorSink &errors)
{
    rows.appendRow(normalized, QString(), QString());
    try {
        store.DbAddUrl(normalized);
    } catch (const StoreError &e) {
        errors.showStoreError(storeErrorText(e));
    }
}

} // namespace

bool Ekle(QStringView url, UrlRows &rows, UrlStore &store, StoreErrorSink &errors)
{
    const QString normalized = normalizeUrl(url);
    if (normalized.isEmpty() || hasCaption(rows, normalized))
        return false;
    appendUrl(normalized, rows, store, errors);
    return true;
}

UrlAdder::UrlAdder(UrlRows &rows) : rows_(rows)
{
    const int n = rows.rowCount();
    captions_.reserve(n);
    for (int i = 0; i < n; ++i)
        captions_.insert(rows.caption(i));
}

bool UrlAdder::add(QStringView url, UrlStore &store, StoreErrorSink &errors)
{
    const QString normalized = normalizeUrl(url);
    if (normalized.isEmpty() || captions_.contains(normalized))
        return false;
    appendUrl(normalized, rows_, store, errors);
    captions_.insert(normalized);
    return true;
}

int EkleLines(QStringView text, UrlRows &rows, UrlStore &store, StoreErrorSink &errors)
{
    UrlAdder adder(rows);
    int added = 0;
    for (const QString &line : splitLines(text))
        added += adder.add(line, store, errors) ? 1 : 0;
    return added;
}

int LoadList(const QString &path, UrlRows &rows, UrlStore &store, StoreErrorSink &errors)
{
    const DecodedText file = readTextFile(path);
    return EkleLines(file.text, rows, store, errors);
}

QString listFileText(const UrlRows &rows)
{
    QString text;
    const int n = rows.rowCount();
    for (int i = 0; i < n; ++i) {
        text += rows.caption(i);
        text += QStringLiteral("\r\n");
    }
    return text;
}

void SaveList(const QString &path, const UrlRows &rows)
{
    writeUtf8File(path, listFileText(rows));
}

QStringList selectedUrls(const UrlRows &rows)
{
    QStringList urls;
    const int n = rows.rowCount();
    for (int i = 0; i < n; ++i)
        if (rows.isSelected(i))
            urls.append(rows.caption(i));
    return urls;
}

QString clipboardText(const UrlRows &rows)
{
    return trim(selectedUrls(rows).join(QStringLiteral("\r\n")));
}

void deleteSelectedRows(UrlRows &rows, UrlStore &store, StoreErrorSink &errors)
{
    // Removing a row moves the next one into its place, so the position
    // only advances past rows that stay.
    for (int i = 0; i < rows.rowCount();) {
        if (!rows.isSelected(i)) {
            ++i;
            continue;
        }
        try {
            store.deleteUrl(rows.caption(i));
        } catch (const StoreError &e) {
            errors.showStoreError(storeErrorText(e));
        }
        rows.removeRow(i);
    }
}

void fillFromStore(UrlRows &rows, UrlStore &store, StoreErrorSink &errors)
{
    std::vector<ListedWebsite> websites;
    try {
        websites = store.DbLoadWebsites();
    } catch (const StoreError &e) {
        errors.showStoreError(storeErrorText(e));
        return;
    }
    for (const ListedWebsite &w : websites)
        rows.appendRow(w.url, w.lastChange, QString());
}

std::optional<ContentPreview> contentPreview(const UrlRows &rows, UrlStore &store, StoreErrorSink &errors)
{
    const int n = rows.rowCount();
    int first = 0;
    while (first < n && !rows.isSelected(first))
        ++first;
    if (first == n)
        return std::nullopt;
    const QString url = rows.caption(first);
    try {
        const std::optional<StoreRow> row = store.lookupRow(url);
        if (!row)
            return std::nullopt;
        return ContentPreview{url, row->text(u"CONTENT")};
    } catch (const StoreError &e) {
        errors.showStoreError(storeErrorText(e));
        return std::nullopt;
    }
}

} // namespace sentrel
