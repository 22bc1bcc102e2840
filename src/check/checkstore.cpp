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
    const std::optional<StoreRow> row = db_.lookupRow(url);
    if (!row)
        return std::nullopt;
    StoredCheck stored;
    stored.content = row->text(u"CONTENT");
    stored.status = row->text(u"STATUS");
    stored.options.strip = row->text(u"STRIP");
    stored.options.lineStart = row->text(u"LINESTART");
    stored.options.lineStop = row->text(u"LINESTOP");
    stored.options.keyword = row->text(u"KEYWORD");
    stored.options.xpath = row->text(u"XPATH");
    stored.options.regex = row->text(u"REGEX");
    if (!row->isNull(u"ID"))
        stored.rowId = row->text(u"ID").toLongLong();
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
