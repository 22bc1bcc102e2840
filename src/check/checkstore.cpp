#include "check/checkstore.h"
#include "storage/storesqlite.h"
#include "storage/websitedb.h"

namespace sentrel {

WebsiteCheckStore::~WebsiteCheckStore()
{
    try {
        commit();
    } catch (const StoreError &) {
        // Nothing to report to from a destructor; the next run saves again.
    }
}

std::optional<StoredCheck> WebsiteCheckStore::lookup(const QString &url)
{
    commitIfDue();
    std::optional<WebsiteRecord> record = db_.lookup(url);
    if (!record)
        return std::nullopt;
    StoredCheck stored;
    stored.content = record->content.value_or(QString());
    stored.status = record->status.value_or(QString());
    stored.options = std::move(record->options);
    stored.rowId = record->rowId;
    return stored;
}

bool WebsiteCheckStore::save(const QString &url, std::optional<qint64> rowId, const QString &content,
                             const QString &status)
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

void WebsiteCheckStore::commitIfDue()
{
    if (open_ && std::chrono::steady_clock::now() - groupStart_ >= grouping_.maxAge)
        commit();
}

void WebsiteCheckStore::commit()
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
