// The operations of WebsiteDb that keep a URL's history in step with its
// row: a save records the saved text, a delete takes the history with it.
#include "diff/textdiff.h"
#include "storage/historyschema.h"
#include "storage/storeschema.h"
#include "storage/websitedb.h"

namespace sentrel {

namespace {

// A row's ID as stored. A hand-made table may hold one that is not a
// number; such a row has no history.
std::optional<qint64> numericId(const QString &id)
{
    bool ok = false;
    const qint64 value = id.toLongLong(&ok);
    return ok ? std::optional<qint64>(value) : std::nullopt;
}

} // namespace

bool WebsiteDb::DbSaveWebsite(const QString &url, const QString &content, const QString &status,
                              std::optional<qint64> rowId)
{
    // The row and its snapshot in one transaction (one disk sync), and as
    // one unit inside a caller's batch: a kill or a failed statement leaves
    // both or neither.
    StoreBatch batch(*this);
    SqliteSavepoint unit(connection(), u"website_save");
    QString id;
    if (rowId) {
        id = QString::number(*rowId);
    } else {
        SqliteStatement find = connection().prepare(storeschema::FirstIdOfUrl);
        find.bind(1, url);
        if (!find.step())
            return false;
        id = find.text(0);
    }
    // The text before, for the snapshot's line counts; NULL before the first save.
    std::optional<QString> previous;
    {
        SqliteStatement before = connection().prepare(storeschema::ContentOfRow);
        before.bind(1, id);
        before.bind(2, url);
        if (before.step() && !before.isNull(0))
            previous = before.text(0);
    }
    SqliteStatement update = connection().prepare(storeschema::SaveContent);
    update.bind(1, content);
    update.bind(2, status);
    // The ID as text, as it was read: the column's integer affinity compares
    // it as the number, and a hand-made table without that affinity as text.
    update.bind(3, id);
    update.bind(4, url);
    if (update.run() == 0)
        return false;
    if (const std::optional<qint64> website = numericId(id)) {
        std::optional<LineCounts> counts;
        if (previous) {
            if (!differ_)
                differ_ = std::make_unique<TextDiffer>();
            counts = differ_->countChangedLines(*previous, content);
        }
        appendSnapshot(connection(), *website, url, content, status, retention_, counts);
    }
    unit.release();
    batch.commit();
    return true;
}

void WebsiteDb::deleteUrl(const QString &url)
{
    StoreBatch batch(*this);
    SqliteSavepoint unit(connection(), u"website_delete");
    {
        SqliteStatement ids = connection().prepare(storeschema::IdsOfUrl);
        ids.bind(1, url);
        while (ids.step())
            if (const std::optional<qint64> website = numericId(ids.text(0)))
                deleteHistory(connection(), *website);
    }
    SqliteStatement remove = connection().prepare(storeschema::RemoveUrl);
    remove.bind(1, url);
    remove.run();
    unit.release();
    batch.commit();
}

std::vector<SnapshotRecord> WebsiteDb::history(const QString &url)
{
    SqliteStatement find = connection().prepare(storeschema::FirstIdOfUrl);
    find.bind(1, url);
    if (!find.step())
        return {};
    const std::optional<qint64> website = numericId(find.text(0));
    return website && historyTableExists(connection()) ? listSnapshots(connection(), *website)
                                                       : std::vector<SnapshotRecord>{};
}

QString WebsiteDb::snapshotText(qint64 snapshotId)
{
    return readSnapshot(connection(), snapshotId);
}

} // namespace sentrel
