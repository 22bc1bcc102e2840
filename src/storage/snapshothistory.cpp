#include "storage/snapshothistory.h"
#include "storage/historyschema.h"
#include "storage/storesqlite.h"
#include <sqlite3.h>

namespace sentrel {

namespace {

namespace schema = historyschema;

// The newest snapshot of a URL, every column it keeps when re-packed.
struct NewestRow {
    qint64 id;
    bool standalone;
    QByteArray data;
    QString taken;
    QString status;
    std::optional<qint64> added, removed;
};

std::optional<qint64> optionalInteger(const SqliteStatement &row, int column)
{
    return row.isNull(column) ? std::nullopt : std::optional(row.integer(column));
}

void bindOptional(SqliteStatement &statement, int index, std::optional<qint64> value)
{
    if (value)
        statement.bindInteger(index, *value);
    else
        statement.bindNull(index);
}

std::optional<NewestRow> newestSnapshot(SqliteConnection &db, qint64 websiteId, const QString &url)
{
    SqliteStatement query = db.prepare(schema::NewestSnapshot);
    query.bindInteger(1, websiteId);
    query.bind(2, url);
    if (!query.step())
        return std::nullopt;
    return NewestRow{
        query.integer(0),          query.isNull(1),          query.blob(2), query.text(3), query.text(4),
        optionalInteger(query, 5), optionalInteger(query, 6)};
}

qint64 deltasBefore(SqliteConnection &db, qint64 websiteId, const QString &url, qint64 id)
{
    SqliteStatement query = db.prepare(schema::DeltasBefore);
    query.bindInteger(1, websiteId);
    query.bind(2, url);
    query.bindInteger(3, id);
    return query.step() ? query.integer(0) : 0;
}

// The previous newest snapshot becomes a delta against the new one unless
// that would make a chain longer than the packing allows, or the delta would
// not be smaller (the text was replaced rather than edited).
void repackPrevious(SqliteConnection &db, SnapshotCodec &codec, const NewestRow &previous, qint64 websiteId,
                    const QString &url, qint64 newId, const QByteArray &newUtf8,
                    const HistoryPacking &packing)
{
    if (!previous.standalone)
        return;
    // Reading the oldest of the deltas before `previous` would then unpack
    // them all, `previous` and the new snapshot.
    if (deltasBefore(db, websiteId, url, previous.id) + 2 > packing.standaloneEvery)
        return;
    const QByteArray previousUtf8 = codec.unpack(previous.data, nullptr);
    const QByteArray delta = codec.pack(previousUtf8, &newUtf8);
    if (delta.size() >= previous.data.size())
        return;
    SqliteStatement remove = db.prepare(schema::DeleteRow);
    remove.bindInteger(1, previous.id);
    remove.run();
    SqliteStatement insert = db.prepare(schema::InsertDelta);
    insert.bindInteger(1, previous.id);
    insert.bindInteger(2, websiteId);
    insert.bind(3, url);
    insert.bind(4, previous.taken);
    insert.bind(5, previous.status);
    insert.bindInteger(6, newId);
    insert.bindBlob(7, delta);
    bindOptional(insert, 8, previous.added);
    bindOptional(insert, 9, previous.removed);
    insert.run();
}

void applyRetention(SqliteConnection &db, qint64 websiteId, const QString &url,
                    const HistoryRetention &retention)
{
    if (retention.maxSnapshots > 0) {
        SqliteStatement oldestKept = db.prepare(schema::NthNewestSnapshot);
        oldestKept.bindInteger(1, websiteId);
        oldestKept.bind(2, url);
        oldestKept.bindInteger(3, retention.maxSnapshots - 1);
        if (oldestKept.step()) {
            const qint64 cutoff = oldestKept.integer(0);
            SqliteStatement remove = db.prepare(schema::DeleteBefore);
            remove.bindInteger(1, websiteId);
            remove.bind(2, url);
            remove.bindInteger(3, cutoff);
            remove.run();
        }
    }
    if (retention.maxAgeDays > 0) {
        SqliteStatement remove = db.prepare(schema::DeleteExpired);
        remove.bindInteger(1, websiteId);
        remove.bind(2, url);
        remove.bind(3, QStringLiteral("-%1 days").arg(retention.maxAgeDays));
        remove.run();
    }
}

[[noreturn]] void brokenChain(qint64 snapshotId, const QString &reason)
{
    throw StoreError(
        QStringLiteral("Snapshot %1 of the history cannot be read: %2.").arg(snapshotId).arg(reason),
        SQLITE_CORRUPT);
}

} // namespace

bool historyTableExists(SqliteConnection &db)
{
    return db.queryText(u"select count(*) from sqlite_master where type='table' and name='HISTORY';")
               .toInt() > 0;
}

void createHistoryTable(SqliteConnection &db)
{
    db.execute(QString::fromLatin1(schema::CreateTable));
    db.execute(QString::fromLatin1(schema::CreateIndex));
}

void appendSnapshot(SqliteConnection &db, qint64 websiteId, const QString &url, const QString &text,
                    const QString &status, const HistoryRetention &retention,
                    std::optional<LineCounts> counts, const HistoryPacking &packing)
{
    SqliteSavepoint savepoint(db, u"history_append");
    SnapshotCodec codec(packing.level);
    const QByteArray utf8 = text.toUtf8();
    const std::optional<NewestRow> previous = newestSnapshot(db, websiteId, url);

    SqliteStatement insert = db.prepare(schema::InsertSnapshot);
    insert.bindInteger(1, websiteId);
    insert.bind(2, url);
    insert.bind(3, status);
    insert.bindBlob(4, codec.pack(utf8, nullptr));
    bindOptional(insert, 5, counts ? std::optional<qint64>(counts->added) : std::nullopt);
    bindOptional(insert, 6, counts ? std::optional<qint64>(counts->removed) : std::nullopt);
    insert.run();
    const qint64 newId = sqlite3_last_insert_rowid(db.handle());

    if (previous)
        repackPrevious(db, codec, *previous, websiteId, url, newId, utf8, packing);
    applyRetention(db, websiteId, url, retention);
    savepoint.release();
}

void appendResetMarker(SqliteConnection &db, qint64 websiteId, const QString &url)
{
    SqliteStatement insert = db.prepare(schema::InsertResetMarker);
    insert.bindInteger(1, websiteId);
    insert.bind(2, url);
    insert.run();
}

std::vector<SnapshotRecord> listSnapshots(SqliteConnection &db, qint64 websiteId)
{
    SqliteStatement query = db.prepare(schema::ListOfWebsite);
    query.bindInteger(1, websiteId);
    std::vector<SnapshotRecord> records;
    const auto optionalInt = [&query](int column) {
        return query.isNull(column) ? std::nullopt : std::optional<int>(int(query.integer(column)));
    };
    while (query.step())
        records.push_back({query.integer(0), query.text(1), query.text(2), int(query.integer(3)),
                           optionalInt(4), optionalInt(5)});
    return records;
}

QString readSnapshot(SqliteConnection &db, qint64 snapshotId)
{
    // The blobs from the snapshot asked for up to the standalone one its
    // chain ends in; every link points to a newer row, so the walk ends.
    std::vector<QByteArray> chain;
    for (qint64 id = snapshotId;;) {
        SqliteStatement link = db.prepare(schema::ChainLink);
        link.bindInteger(1, id);
        if (!link.step())
            brokenChain(snapshotId, id == snapshotId ? QStringLiteral("there is no such snapshot")
                                                     : QStringLiteral("its base %1 is missing").arg(id));
        if (link.integer(0) != schema::SnapshotKind)
            brokenChain(snapshotId, id == snapshotId ? QStringLiteral("it is a reset marker, not a text")
                                                     : QStringLiteral("its base %1 is not a text").arg(id));
        chain.push_back(link.blob(2));
        if (link.isNull(1))
            break;
        const qint64 base = link.integer(1);
        if (base <= id)
            brokenChain(snapshotId, QStringLiteral("row %1 names an older base").arg(id));
        id = base;
    }
    SnapshotCodec codec;
    QByteArray utf8 = codec.unpack(chain.back(), nullptr);
    for (auto blob = chain.rbegin() + 1; blob != chain.rend(); ++blob)
        utf8 = codec.unpack(*blob, &utf8);
    return QString::fromUtf8(utf8);
}

void deleteHistory(SqliteConnection &db, qint64 websiteId)
{
    SqliteStatement remove = db.prepare(schema::DeleteOfWebsite);
    remove.bindInteger(1, websiteId);
    remove.run();
}

void renameHistory(SqliteConnection &db, qint64 websiteId, const QString &newUrl)
{
    SqliteStatement update = db.prepare(schema::RenameOfWebsite);
    update.bindInteger(1, websiteId);
    update.bind(2, newUrl);
    update.run();
}

void purgeOrphanHistory(SqliteConnection &db)
{
    db.execute(schema::DeleteOrphans);
}

} // namespace sentrel
