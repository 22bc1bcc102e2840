#include "storage/storemigration.h"
#include "storage/snapshothistory.h"
#include "storage/storeschema.h"
#include "storage/storesqlite.h"
#include "text/lines.h"
#include <QStringList>
#include <span>

namespace sentrel {

namespace {

bool hasColumn(const QStringList &columns, QStringView name)
{
    for (const QString &c : columns)
        if (equalsAsciiCaseless(c, name))
            return true;
    return false;
}

bool lacksAnyOf(SqliteConnection &db, std::span<const storeschema::OptionColumn> wanted)
{
    const QStringList columns = columnsOfWebsites(db);
    for (const auto &c : wanted)
        if (!hasColumn(columns, c.name))
            return true;
    return false;
}

// Appends the columns the table lacks, in the order given. Columns an older
// program or a hand-made table already has, in any letter case, stay as
// they are.
void addMissing(SqliteConnection &db, std::span<const storeschema::OptionColumn> wanted)
{
    const QStringList columns = columnsOfWebsites(db);
    for (const auto &c : wanted)
        if (!hasColumn(columns, c.name))
            db.execute(QStringLiteral("ALTER TABLE WEBSITES ADD COLUMN %1 %2;")
                           .arg(QString::fromUtf16(c.name), QString::fromUtf16(c.type)));
}

// Step 1, the shape every version before recorded versions ended up with:
// the table (an empty file, or a template that failed to copy) and these
// option columns appended in this order. The list is this step's own and
// never changes; a later option column comes with a step of its own.
constexpr storeschema::OptionColumn version1Columns[] = {
    {storeschema::StripColumn, u"TEXT"},       {storeschema::LineStartColumn, u"INTEGER"},
    {storeschema::LineStopColumn, u"INTEGER"}, {storeschema::KeywordColumn, u"TEXT"},
    {storeschema::XPathColumn, u"TEXT"},       {storeschema::RegexColumn, u"TEXT"},
};

bool lacksTableOrOptionColumns(SqliteConnection &db)
{
    return columnsOfWebsites(db).isEmpty() || lacksAnyOf(db, version1Columns);
}

void addTableAndOptionColumns(SqliteConnection &db)
{
    if (columnsOfWebsites(db).isEmpty())
        db.execute(QString::fromUtf8(storeschema::CreateTable));
    addMissing(db, version1Columns);
}

// Step 2: the earlier texts of every URL, in a table of their own, so that
// WEBSITES keeps the shape other programs read.
bool lacksHistoryTable(SqliteConnection &db)
{
    return !historyTableExists(db);
}

struct MigrationStep {
    int version;
    bool (*needsChange)(SqliteConnection &);
    void (*apply)(SqliteConnection &);
    // The store's rows still read without the step: a store that cannot be
    // written opens without it (and without the steps after it).
    bool readableWithout;
};

// Cumulative: a store at version N runs every step above N. A new step
// goes at the end with the next number; StoreSchemaVersion follows.
constexpr MigrationStep steps[] = {
    {1, lacksTableOrOptionColumns, addTableAndOptionColumns, false},
    // Without HISTORY a store lists its rows and their texts; only the
    // earlier texts are missing, and there are none to show yet.
    {2, lacksHistoryTable, createHistoryTable, true},
};
constexpr bool numberedInOrder()
{
    for (size_t i = 0; i < std::size(steps); ++i)
        if (steps[i].version != int(i) + 1)
            return false;
    return true;
}
static_assert(numberedInOrder(), "one step per version, numbered from 1");

void recordVersion(SqliteConnection &db, int version)
{
    // PRAGMA takes no bound parameters; the number is the program's own.
    db.execute(QStringLiteral("PRAGMA user_version=%1;").arg(version));
}

void runStep(SqliteConnection &db, const MigrationStep &step)
{
    db.execute(u"BEGIN IMMEDIATE;");
    try {
        // Looked at again under the write lock: another program may have
        // run the step while this one waited.
        if (storeSchemaVersion(db) < step.version) {
            if (step.needsChange(db))
                step.apply(db);
            recordVersion(db, step.version);
        }
        db.execute(u"COMMIT;");
    } catch (const StoreError &) {
        if (db.inTransaction()) {
            try {
                db.execute(u"ROLLBACK;");
            } catch (const StoreError &) {
            }
        }
        throw;
    }
}

} // namespace

const int StoreSchemaVersion = int(std::size(steps));

int storeSchemaVersion(SqliteConnection &db)
{
    return db.queryText(u"PRAGMA user_version;").toInt();
}

void migrateStore(SqliteConnection &db)
{
    for (const MigrationStep &step : steps) {
        if (storeSchemaVersion(db) >= step.version)
            continue;
        if (step.needsChange(db)) {
            // Left for a start that can write, its version unrecorded so
            // that this start runs it then.
            if (step.readableWithout && db.isReadOnly())
                return;
            runStep(db, step);
            continue;
        }
        try {
            recordVersion(db, step.version);
        } catch (const StoreError &) {
            // Nothing to change, only the mark: a store that cannot be
            // written opens as it did, and a later start records it.
        }
    }
}

QStringList columnsOfWebsites(SqliteConnection &db)
{
    QStringList names;
    SqliteStatement info = db.prepare(u"PRAGMA table_info(WEBSITES);");
    const int name = info.columnIndex(u"name");
    while (info.step())
        names.append(info.text(name));
    return names;
}

} // namespace sentrel
