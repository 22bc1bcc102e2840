#pragma once
#include "diff/textdiff.h"
#include "storage/snapshotcodec.h"
#include <QString>
#include <optional>
#include <vector>

// The history of a watched URL's text in the HISTORY table (see
// historyschema.h). The functions run on the caller's connection and so
// commit or roll back with the caller's transaction; each one is atomic on
// its own (appendSnapshot within a savepoint), so one that throws leaves no
// half of its change behind.
namespace sentrel {

class SqliteConnection;

struct SnapshotRecord {
    qint64 id = 0;
    QString taken; // UTC "YYYY-MM-DD HH:MM:SS"
    QString status;
    int kind = 0; // historyschema::SnapshotKind or ResetMarkerKind
    std::optional<int> added, removed;
};

// Applied to a URL's rows after each snapshot appended.
struct HistoryRetention {
    int maxSnapshots = 200; // 0: no count limit
    int maxAgeDays = 0;     // 0: no age limit
};

// How a URL's snapshots are packed. Every standaloneEvery-th one stays
// standalone, so that reading any snapshot unpacks at most that many blobs.
// With 100 texts of 100 KB (bench/bench_snapshots.cpp) the standalone copies
// are most of the bytes: 32 rather than 16 takes a quarter off the store's
// growth, and reading the oldest text still takes only a millisecond or two.
struct HistoryPacking {
    static constexpr int DefaultStandaloneEvery = 32;
    int standaloneEvery = DefaultStandaloneEvery;
    int level = SnapshotCodec::DefaultLevel;
};

// Creates the table and its index unless present.
void createHistoryTable(SqliteConnection &db);
// Whether the store has the table: an older store opened from a file that
// cannot be written has none until a start that can write upgrades it.
bool historyTableExists(SqliteConnection &db);

// Appends `text` as the newest snapshot of the URL, re-packs the previous
// newest one as a delta against it, then drops what `retention` no longer
// keeps. `counts` are the lines added and removed since the previous
// snapshot, stored as NULL when not given.
void appendSnapshot(SqliteConnection &db, qint64 websiteId, const QString &url, const QString &text,
                    const QString &status, const HistoryRetention &retention,
                    std::optional<LineCounts> counts = std::nullopt, const HistoryPacking &packing = {});

// Records that the URL's options were edited and its text reset.
void appendResetMarker(SqliteConnection &db, qint64 websiteId, const QString &url);

// The website's snapshots and markers, newest first: only those recorded
// under the URL its WEBSITES row has now.
std::vector<SnapshotRecord> listSnapshots(SqliteConnection &db, qint64 websiteId);

// The text of one snapshot. Throws StoreError for an unknown ID, a reset
// marker, or a damaged blob or chain.
QString readSnapshot(SqliteConnection &db, qint64 snapshotId);

// Every row of the website, whatever URL it was recorded under.
void deleteHistory(SqliteConnection &db, qint64 websiteId);

// Moves the rows recorded under the website's current URL to `newUrl`.
// Call it before the WEBSITES row itself takes the new URL: rows an earlier
// owner of the ID left under another URL stay behind for purgeOrphanHistory.
void renameHistory(SqliteConnection &db, qint64 websiteId, const QString &newUrl);

// Deletes the rows whose WEBSITE and URL no WEBSITES row has together, such
// as those of a URL another program deleted.
void purgeOrphanHistory(SqliteConnection &db);

} // namespace sentrel
