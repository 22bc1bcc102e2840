#include "storage/groupedsaves.h"
#include "storage/storeerror.h"
#include "storage/websitedb.h"

namespace sentrel {

GroupedSaves::~GroupedSaves()
{
    try {
        commit();
    } catch (const StoreError &) {
        // Nothing to report to from a destructor; the next run saves again.
    }
}

std::vector<ListedWebsite> GroupedSaves::DbLoadWebsites()
{
    return db_.DbLoadWebsites();
}

void GroupedSaves::DbAddUrl(const QString &url)
{
    db_.DbAddUrl(url);
}

void GroupedSaves::deleteUrl(const QString &url)
{
    db_.deleteUrl(url);
}

int GroupedSaves::editUrl(const QString &targetUrl, const QString &newUrl, const WebsiteOptions &options)
{
    return db_.editUrl(targetUrl, newUrl, options);
}

std::optional<WebsiteRecord> GroupedSaves::lookup(const QString &url)
{
    commitIfDue();
    return db_.lookup(url);
}

bool GroupedSaves::DbSaveWebsite(const QString &url, const QString &content, const QString &status,
                                 std::optional<qint64> rowId)
{
    // Inside a transaction someone else opened, saves are theirs to commit.
    if (grouping_.maxSaves > 1 && !open_ && !db_.inBatch()) {
        db_.beginBatch();
        open_ = true;
        groupStart_ = std::chrono::steady_clock::now();
    }
    if (open_)
        ++pending_; // counted before the save: a failed one may have undone the group
    const bool saved = db_.DbSaveWebsite(url, content, status, rowId);
    if (open_ && pending_ >= grouping_.maxSaves)
        commit();
    else
        commitIfDue();
    return saved;
}

void GroupedSaves::commitIfDue()
{
    if (open_ && std::chrono::steady_clock::now() - groupStart_ >= grouping_.maxAge)
        commit();
}

void GroupedSaves::commit()
{
    if (!open_)
        return;
    open_ = false;
    pending_ = 0;
    try {
        db_.commitBatch();
    } catch (const StoreError &) {
        if (listener_)
            listener_(false);
        throw;
    }
    if (listener_)
        listener_(true);
}

} // namespace sentrel
