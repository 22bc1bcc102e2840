#include "app/liststoresync.h"
#include "storage/storeerror.h"
#include "storage/storesqlite.h"
#include "storage/websiterepository.h"
#include <QHash>

namespace sentrel {

bool matchListToStore(UrlListModel &list, WebsiteRepository &store)
{
    std::vector<ListedWebsite> websites;
    try {
        websites = store.DbLoadWebsites();
    } catch (const StoreError &) {
        return false;
    }
    // The store may hold one URL in several rows (another program wrote it):
    // the list shows it as many times, no more and no fewer.
    QHash<QString, int> unmatched;
    for (const ListedWebsite &w : websites)
        ++unmatched[w.url];

    QList<RowId> surplus;
    for (int row = 0; row < list.count(); ++row) {
        const RowId id = list.idAt(row);
        int &left = unmatched[list.url(id)];
        if (left > 0)
            --left;
        else
            surplus.append(id);
    }
    for (const RowId id : surplus)
        list.remove(id);

    std::vector<UrlListRow> missing;
    for (const ListedWebsite &w : websites) {
        int &left = unmatched[w.url];
        if (left > 0) {
            --left;
            missing.push_back({w.url, w.lastChange, QString()});
        }
    }
    if (!missing.empty())
        list.appendMany(missing);
    return true;
}

void ResyncAfterError::showStoreError(const QString &text)
{
    shown_.showStoreError(text);
    matchListToStore(list_, store_);
}

} // namespace sentrel
