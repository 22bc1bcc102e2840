#pragma once
#include "storage/snapshothistory.h"
#include "storage/storesqlite.h"
#include "storage/websiterecord.h"
#include "storage/websiterepository.h"
#include <QString>
#include <QStringList>
#include <QStringView>
#include <memory>
#include <optional>
#include <vector>

// The website store: websites.db in the data folder, table WEBSITES, one row
// per watched URL with its check options, the stored text of its last saved
// check, that check's status and its time.
namespace sentrel {

inline constexpr char16_t StoreFileName[] = u"websites.db";
inline constexpr char16_t StoreTemplateFileName[] = u"empty.db";

// One row of the table, every column read by name; SQL names are caseless,
// so "STRIP" also finds a column an older program called "strip". The
// program itself reads rows typed (WebsiteRecord); this raw view is for the
// tests and tools that check what is on disk, column by column.
class StoreRow {
public:
    StoreRow() = default;
    explicit StoreRow(const SqliteStatement &statement); // the statement's current row

    // The column's value as text; NULL and a column the row lacks read as "".
    QString text(QStringView column) const;
    bool isNull(QStringView column) const; // also true for a missing column

private:
    const std::optional<QString> *find(QStringView column) const;

    QStringList names_;
    std::vector<std::optional<QString>> values_;
};

enum class StoreJournal {
    // Write-ahead log, synced at every commit: one disk sync per change, and
    // readers never wait for a writer. The program's choice.
    WriteAheadLog,
    // Rollback journal, fully synced: three to four disk syncs per change.
    // Kept so that the benchmark can show the difference.
    Rollback,
};

struct StoreSettings {
    QString templatePath;      // empty.db to copy when websites.db is missing; may be empty
    int busyTimeoutMs = 10000; // how long a statement waits for another program's lock
    StoreJournal journal = StoreJournal::WriteAheadLog;
};

class WebsiteDb final : public WebsiteRepository {
public:
    // Opens dataFolder + "websites.db": copies the template there when no
    // file exists and brings the file to the current schema (migrateStore:
    // the table when the file has none, the option columns a store of an
    // older version lacks). Throws StoreOpenError when the file cannot be
    // opened or is no database, and StoreError when a migration step fails.
    // Never writes over a file it cannot read as a store.
    WebsiteDb(const QString &dataFolder, const StoreSettings &settings);
    ~WebsiteDb() override;

    const QString &path() const { return path_; }

    // What each save keeps of the URL's earlier texts (the defaults until set).
    void setHistoryRetention(const HistoryRetention &retention) { retention_ = retention; }

    std::vector<ListedWebsite> DbLoadWebsites() override;
    void DbAddUrl(const QString &url) override;
    bool DbSaveWebsite(const QString &url, const QString &content, const QString &status,
                       std::optional<qint64> rowId = std::nullopt) override;
    void deleteUrl(const QString &url) override;
    std::optional<WebsiteRecord> lookup(const QString &url) override;
    // editUrl compares URLs as a check finds its row: without surrounding
    // blanks and control characters, letter case counting (as adding
    // compares). The test and the change are one transaction, so another
    // program cannot add the URL in between.
    int editUrl(const QString &targetUrl, const QString &newUrl, const WebsiteOptions &options) override;

    // The history of the URL's first row, newest first: a snapshot of every
    // saved text (the first save and each change) and a marker for every
    // options edit that reset it. Empty for a URL the store does not have.
    std::vector<SnapshotRecord> history(const QString &url);
    // The text of one snapshot of a history. Throws StoreError for an
    // unknown ID, a reset marker, or a damaged snapshot.
    QString snapshotText(qint64 snapshotId);

    // The URL's first row as stored, column by column (see StoreRow).
    std::optional<StoreRow> lookupRow(const QString &url);

    // Closes the connection (before Reset to Defaults deletes the file);
    // every later call throws StoreError.
    void close();

    // Statements between begin and commit share one transaction and so one
    // disk sync; StoreBatch is the way to use them. A commit that fails rolls
    // the transaction back before it throws.
    void beginBatch();
    void commitBatch();
    void rollbackBatch() noexcept; // leaves the connection usable; errors are dropped
    bool inBatch() const;

private:
    SqliteConnection &connection();
    void openConnection(const StoreSettings &settings);

    QString path_;
    HistoryRetention retention_;
    // Opened at the first save that counts changed lines: opening the diff
    // library costs far more than one count.
    std::unique_ptr<TextDiffer> differ_;
    std::unique_ptr<SqliteConnection> connection_;
};

// Groups many statements (sentrel-cli adding hundreds of URLs) so that they
// cost one disk sync instead of one each. Each statement still stands on its
// own: a failing one does not undo the others, and the destructor commits
// what was done. Only the outermost batch of nested ones commits.
class StoreBatch {
public:
    explicit StoreBatch(WebsiteDb &db);
    ~StoreBatch();
    StoreBatch(const StoreBatch &) = delete;
    StoreBatch &operator=(const StoreBatch &) = delete;

    // Makes the batch durable; throws StoreError when that fails, or when
    // the database already undid the batch after a failed statement (disk
    // full, I/O error), in which case none of it was saved.
    void commit();

private:
    WebsiteDb &db_;
    bool owner_;
};

// A stored LASTCHANGE (UTC, "YYYY-MM-DD HH:MM:SS") in the local time of the
// system's time-zone rules for that instant (daylight saving included), as
// "yyyy-mm-dd hh:nn:ss". "" stays "". A value that is not such a time (edited
// by hand) is shown as it is stored, so nothing is hidden. Uses the rules as
// readTimeZoneRules() last read them; DbLoadWebsites reads them first.
QString localLastChange(QStringView storedUtc);
void readTimeZoneRules();

// The files of a store: websites.db and the journal files SQLite keeps next
// to it. Reset to Defaults deletes all of them after close().
QStringList storeFiles(const QString &dataFolder);

} // namespace sentrel
