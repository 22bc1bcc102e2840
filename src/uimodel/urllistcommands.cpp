#include "uimodel/urllistcommands.h"
#include "storage/storeerror.h"
#include "storage/textfile.h"
#include "storage/urllist.h"
#include "storage/websitedb.h"
#include "text/lines.h"

namespace sentrel {

std::optional<RowId> Ekle(QStringView url, UrlListModel &list, WebsiteRepository &store,
                          StoreErrorSink &errors)
{
    const QString normalized = normalizeUrl(url);
    if (normalized.isEmpty() || list.findCaption(normalized))
        return std::nullopt;
    const RowId id = list.append({normalized, QString(), QString()});
    try {
        store.DbAddUrl(normalized);
    } catch (const StoreError &e) {
        errors.showStoreError(storeErrorText(e));
    }
    return id;
}

int EkleLines(QStringView text, UrlListModel &list, WebsiteRepository &store, StoreErrorSink &errors)
{
    int added = 0;
    for (const QString &line : splitLines(text))
        added += Ekle(line, list, store, errors) ? 1 : 0;
    return added;
}

int LoadList(const QString &path, UrlListModel &list, WebsiteRepository &store, StoreErrorSink &errors)
{
    const DecodedText file = readTextFile(path);
    return EkleLines(file.text, list, store, errors);
}

QString listFileText(const UrlListModel &list)
{
    QString text;
    for (const QString &caption : list.captions()) {
        text += caption;
        text += QStringLiteral("\r\n");
    }
    return text;
}

void SaveList(const QString &path, const UrlListModel &list)
{
    writeUtf8File(path, listFileText(list));
}

QStringList selectedUrls(const UrlListModel &list, const QList<RowId> &selection)
{
    QStringList urls;
    for (const RowId id : list.inListOrder(selection))
        if (list.contains(id))
            urls.append(list.url(id));
    return urls;
}

QString clipboardText(const UrlListModel &list, const QList<RowId> &selection)
{
    return trim(selectedUrls(list, selection).join(QStringLiteral("\r\n")));
}

void deleteRows(UrlListModel &list, const QList<RowId> &rows, WebsiteRepository &store,
                StoreErrorSink &errors)
{
    for (const RowId id : list.inListOrder(rows)) {
        if (!list.contains(id))
            continue;
        try {
            store.deleteUrl(list.url(id));
        } catch (const StoreError &e) {
            errors.showStoreError(storeErrorText(e));
        }
        list.remove(id);
    }
}

void fillFromStore(UrlListModel &list, WebsiteRepository &store, StoreErrorSink &errors)
{
    std::vector<ListedWebsite> websites;
    try {
        websites = store.DbLoadWebsites();
    } catch (const StoreError &e) {
        errors.showStoreError(storeErrorText(e));
        return;
    }
    std::vector<UrlListRow> rows;
    rows.reserve(websites.size());
    for (const ListedWebsite &w : websites)
        rows.push_back({w.url, w.lastChange, QString()});
    list.appendMany(rows);
}

std::optional<ContentPreview> contentPreview(const UrlListModel &list, const QList<RowId> &selection,
                                             WebsiteRepository &store, StoreErrorSink &errors)
{
    const QStringList urls = selectedUrls(list, selection);
    if (urls.isEmpty())
        return std::nullopt;
    const QString &url = urls.front();
    try {
        const std::optional<WebsiteRecord> row = store.lookup(url);
        if (!row)
            return std::nullopt;
        return ContentPreview{url, row->content.value_or(QString())};
    } catch (const StoreError &e) {
        errors.showStoreError(storeErrorText(e));
        return std::nullopt;
    }
}

} // namespace sentrel
