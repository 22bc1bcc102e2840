#include "app/storeaccess.h"
#include "storage/storesqlite.h"

namespace sentrel {

StoreAccess::~StoreAccess()
{
    // The check side first: it refers to the database.
    checks_.reset();
    db_.reset();
}

void StoreAccess::attach(std::unique_ptr<WebsiteDb> db)
{
    checks_.reset();
    db_ = std::move(db);
    if (db_)
        checks_ = std::make_unique<WebsiteCheckStore>(*db_);
}

WebsiteDb &StoreAccess::open() const
{
    if (!db_)
        throw StoreError(QStringLiteral("The website store is not open."), 21 /* SQLITE_MISUSE */);
    return *db_;
}

std::vector<ListedWebsite> StoreAccess::DbLoadWebsites()
{
    return open().DbLoadWebsites();
}

void StoreAccess::DbAddUrl(const QString &url)
{
    open().DbAddUrl(url);
}

void StoreAccess::deleteUrl(const QString &url)
{
    open().deleteUrl(url);
}

std::optional<StoreRow> StoreAccess::lookupRow(const QString &url)
{
    return open().lookupRow(url);
}

std::optional<StoredCheck> StoreAccess::lookup(const QString &url)
{
    open();
    return checks_->lookup(url);
}

bool StoreAccess::save(const QString &url, std::optional<qint64> rowId, const QString &content,
                       const QString &status)
{
    open();
    return checks_->save(url, rowId, content, status);
}

} // namespace sentrel
