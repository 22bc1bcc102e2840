#include "storage/storeaccess.h"
#include "storage/storeerror.h"

namespace sentrel {

StoreAccess::~StoreAccess()
{
    // The saves first: they refer to the database.
    saves_.reset();
    db_.reset();
}

void StoreAccess::attach(std::unique_ptr<WebsiteDb> db)
{
    saves_.reset();
    db_ = std::move(db);
    if (db_)
        saves_ = std::make_unique<GroupedSaves>(*db_);
}

WebsiteRepository &StoreAccess::open() const
{
    if (!saves_)
        throw StoreError(QStringLiteral("The website store is not open."), 21 /* SQLITE_MISUSE */);
    return *saves_;
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

std::optional<WebsiteRecord> StoreAccess::lookup(const QString &url)
{
    return open().lookup(url);
}

bool StoreAccess::DbSaveWebsite(const QString &url, const QString &content, const QString &status,
                                std::optional<qint64> rowId)
{
    return open().DbSaveWebsite(url, content, status, rowId);
}

int StoreAccess::editUrl(const QString &targetUrl, const QString &newUrl, const WebsiteOptions &options)
{
    return open().editUrl(targetUrl, newUrl, options);
}

} // namespace sentrel
