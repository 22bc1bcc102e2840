#include "storage/websitedb.h"
#include "storage/storemigration.h"
#include "storage/storeschema.h"
#include "text/lines.h"
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <QTime>
#include <algorithm>
#include <ctime>
#include <sqlite3.h>

namespace sentrel {

namespace {

QString withSeparator(QString folder)
{
    if (!folder.isEmpty() && !folder.endsWith(u'/') && !folder.endsWith(QDir::separator()))
        folder += u'/';
    return folder;
}

// Copies the template into place under a temporary name and renames it, so
// a crash in the middle never leaves a half-copied websites.db that would
// then refuse to open. A failed copy is not reported: opening creates an
// empty file and the store makes its table itself.
void copyTemplateIfMissing(const QString &templatePath, const QString &path)
{
    if (templatePath.isEmpty() || QFileInfo::exists(path))
        return;
    QFile source(templatePath);
    if (!source.open(QIODevice::ReadOnly))
        return;
    const QByteArray bytes = source.readAll();
    QTemporaryFile copy(path + QStringLiteral(".XXXXXX"));
    if (!copy.open() || copy.write(bytes) != bytes.size() || !copy.flush())
        return;
    // Renaming never replaces a file another program created meanwhile.
    if (copy.rename(path))
        copy.setAutoRemove(false);
}

// The path of a store that failed to open, with the likely reason when the
// file system tells it: SQLite's own words ("unable to open database file",
// "attempt to write a readonly database") do not say that a folder or a file
// lacks write permission.
QString whereAndWhy(const QString &path)
{
    QString text = QDir::toNativeSeparators(path);
    const QFileInfo file(path);
    if (!QFileInfo(file.absolutePath()).isWritable())
        text += QStringLiteral(": the folder cannot be written");
    else if (file.exists() && !file.isWritable())
        text += QStringLiteral(": the file cannot be written");
    return text;
}

bool isDigits(QStringView s, qsizetype from, qsizetype count)
{
    for (qsizetype i = from; i < from + count; ++i)
        if (s[i] < u'0' || s[i] > u'9')
            return false;
    return true;
}

int number(QStringView s, qsizetype from, qsizetype count)
{
    int v = 0;
    for (qsizetype i = from; i < from + count; ++i)
        v = v * 10 + (s[i].unicode() - u'0');
    return v;
}

// Writes `value` as `width` digits, zero-padded; the caller keeps it in range.
char16_t *putDigits(char16_t *out, int value, int width)
{
    for (int i = width - 1; i >= 0; --i, value /= 10)
        out[i] = char16_t(u'0' + value % 10);
    return out + width;
}

} // namespace

StoreRow::StoreRow(const SqliteStatement &statement)
{
    const int n = statement.columnCount();
    names_.reserve(n);
    values_.reserve(n);
    for (int i = 0; i < n; ++i) {
        names_.append(statement.columnName(i));
        values_.push_back(statement.isNull(i) ? std::nullopt : std::optional<QString>(statement.text(i)));
    }
}

const std::optional<QString> *StoreRow::find(QStringView column) const
{
    for (qsizetype i = 0; i < names_.size(); ++i)
        if (equalsAsciiCaseless(names_[i], column))
            return &values_[size_t(i)];
    return nullptr;
}

QString StoreRow::text(QStringView column) const
{
    const auto *value = find(column);
    return value && *value ? **value : QString();
}

bool StoreRow::isNull(QStringView column) const
{
    const auto *value = find(column);
    return !value || !*value;
}

WebsiteDb::WebsiteDb(const QString &dataFolder, const StoreSettings &settings)
    : path_(withSeparator(dataFolder) + QString::fromUtf16(StoreFileName))
{
    copyTemplateIfMissing(settings.templatePath, path_);
    openConnection(settings);

    SqliteConnection &db = connection();
    migrateStore(db);
    try {
        db.execute(QString::fromUtf8(storeschema::CreateUrlIndex));
    } catch (const StoreError &) {
        // Only a speed-up: a store that cannot be written (read-only file)
        // still opens, and lookups then read the whole table.
    }
    try {
        // The history of URLs an older program deleted, which knows
        // nothing of it: their IDs may be given to URLs added later.
        purgeOrphanHistory(db);
    } catch (const StoreError &) {
        // Harmless where it stays (no current row matches it); a later
        // start that can write removes it.
    }
}

WebsiteDb::~WebsiteDb() = default;

void WebsiteDb::openConnection(const StoreSettings &settings)
{
    try {
        connection_ = std::make_unique<SqliteConnection>(path_);
        // Locking stays normal (not exclusive) so that the desktop program
        // and sentrel-cli can use one store at once; a lock held by the other
        // one is waited for up to the busy timeout.
        connection_->setBusyTimeout(settings.busyTimeoutMs);
        // A new, empty file takes the page size, and only before the
        // journal mode is set. To reach LASTCHANGE, the column after
        // CONTENT, the load reads every overflow page of the stored text;
        // 16 KiB pages need a quarter of those of the default 4 KiB ones.
        connection_->queryText(QString::fromUtf8(storeschema::PageSize));
        if (settings.journal == StoreJournal::WriteAheadLog) {
            try {
                connection_->queryText(u"PRAGMA journal_mode=WAL;");
            } catch (const StoreError &) {
                // A store in a rollback journal (as a plain SQLite program
                // leaves it) whose file cannot be written stays in its
                // journal: it still opens for reading.
                if (!connection_->isReadOnly())
                    throw;
            }
        } else {
            connection_->queryText(u"PRAGMA journal_mode=DELETE;");
        }
        // Full syncs make every acknowledged change survive a crash or a
        // power loss; with the write-ahead log that is one sync per change.
        connection_->execute(u"PRAGMA synchronous=FULL;");
        // The first read of the file itself: a file that is no database, or
        // that another program keeps locked, fails here, as a failed open.
        connection_->queryText(u"PRAGMA schema_version;");
    } catch (const StoreError &e) {
        connection_.reset();
        throw StoreOpenError(QStringLiteral("%1 (%2)").arg(e.message(), whereAndWhy(path_)), e.code());
    }
}

SqliteConnection &WebsiteDb::connection()
{
    if (!connection_)
        throw StoreError(QStringLiteral("the store is closed"), SQLITE_MISUSE);
    return *connection_;
}

std::vector<ListedWebsite> WebsiteDb::DbLoadWebsites()
{
    readTimeZoneRules();
    SqliteStatement rows = connection().prepare(storeschema::LoadAll);
    const int url = rows.columnIndex(storeschema::UrlColumn);
    const int lastChange = rows.columnIndex(storeschema::LastChangeColumn);
    const int status = rows.columnIndex(storeschema::StatusColumn);
    const auto read = [&rows](int column) { return column < 0 ? QString() : rows.text(column); };
    std::vector<ListedWebsite> result;
    while (rows.step())
        result.push_back({read(url), localLastChange(read(lastChange)), read(status)});
    return result;
}

void WebsiteDb::DbAddUrl(const QString &url)
{
    SqliteStatement insert = connection().prepare(storeschema::AddUrl);
    insert.bind(1, url);
    insert.run();
}

std::optional<StoreRow> WebsiteDb::lookupRow(const QString &url)
{
    SqliteStatement row = connection().prepare(storeschema::FirstRowOfUrl);
    row.bind(1, url);
    if (!row.step())
        return std::nullopt;
    return StoreRow(row);
}

std::optional<WebsiteRecord> WebsiteDb::lookup(const QString &url)
{
    SqliteStatement row = connection().prepare(storeschema::FirstRowOfUrl);
    row.bind(1, url);
    if (!row.step())
        return std::nullopt;
    return recordAt(row);
}

void WebsiteDb::close()
{
    connection_.reset();
}

void WebsiteDb::beginBatch()
{
    connection().execute(u"BEGIN IMMEDIATE;");
}

void WebsiteDb::commitBatch()
{
    if (!inBatch())
        throw StoreError(QStringLiteral("the database undid the changes made before an earlier error; "
                                        "they were not saved"),
                         SQLITE_ABORT);
    try {
        connection().execute(u"COMMIT;");
    } catch (const StoreError &) {
        // Leave the connection usable for the next statement.
        if (inBatch()) {
            try {
                connection().execute(u"ROLLBACK;");
            } catch (const StoreError &) {
            }
        }
        throw;
    }
}

void WebsiteDb::rollbackBatch() noexcept
{
    if (!inBatch())
        return;
    try {
        connection().execute(u"ROLLBACK;");
    } catch (const StoreError &) {
    }
}

bool WebsiteDb::inBatch() const
{
    return connection_ && connection_->inTransaction();
}

StoreBatch::StoreBatch(WebsiteDb &db) : db_(db), owner_(!db.inBatch())
{
    if (owner_)
        db_.beginBatch();
}

StoreBatch::~StoreBatch()
{
    if (!owner_ || !db_.inBatch())
        return;
    try {
        db_.commitBatch();
    } catch (const StoreError &) {
        // A destructor cannot report; leave the connection usable.
        db_.rollbackBatch();
    }
}

void StoreBatch::commit()
{
    if (!owner_)
        return;
    owner_ = false;
    db_.commitBatch();
}

void readTimeZoneRules()
{
#ifdef _WIN32
    _tzset();
#else
    tzset();
#endif
}

QString localLastChange(QStringView s)
{
    // DATETIME('now') writes "YYYY-MM-DD HH:MM:SS"; SQLite also reads a "T"
    // between date and time, so a value written by another tool is taken too.
    const bool shaped = s.size() == 19 && isDigits(s, 0, 4) && s[4] == u'-' && isDigits(s, 5, 2) &&
                        s[7] == u'-' && isDigits(s, 8, 2) && (s[10] == u' ' || s[10] == u'T') &&
                        isDigits(s, 11, 2) && s[13] == u':' && isDigits(s, 14, 2) && s[16] == u':' &&
                        isDigits(s, 17, 2);
    if (!shaped)
        return s.toString();
    const QDate date(number(s, 0, 4), number(s, 5, 2), number(s, 8, 2));
    const QTime time(number(s, 11, 2), number(s, 14, 2), number(s, 17, 2));
    if (!date.isValid() || !time.isValid())
        return s.toString();
    // The C library converts with the time-zone rules it read at the last
    // tzset(), which DbLoadWebsites calls once; Qt's local-time conversion
    // would re-read them (a stat of the zone file) for every row.
    constexpr qint64 unixEpochJulianDay = 2440588;
    const auto utc =
        std::time_t((date.toJulianDay() - unixEpochJulianDay) * 86400 + time.msecsSinceStartOfDay() / 1000);
    std::tm local{};
#ifdef _WIN32
    if (localtime_s(&local, &utc) != 0)
        return s.toString();
#else
    if (!localtime_r(&utc, &local))
        return s.toString();
#endif
    const int year = local.tm_year + 1900;
    if (year < 0 || year > 9999)
        return s.toString();
    char16_t out[19];
    char16_t *p = putDigits(out, year, 4);
    *p++ = u'-';
    p = putDigits(p, local.tm_mon + 1, 2);
    *p++ = u'-';
    p = putDigits(p, local.tm_mday, 2);
    *p++ = u' ';
    p = putDigits(p, local.tm_hour, 2);
    *p++ = u':';
    p = putDigits(p, local.tm_min, 2);
    *p++ = u':';
    putDigits(p, std::min(local.tm_sec, 59), 2);
    return QString::fromUtf16(out, 19);
}

QStringList storeFiles(const QString &dataFolder)
{
    const QString db = withSeparator(dataFolder) + QString::fromUtf16(StoreFileName);
    return {db, db + QStringLiteral("-wal"), db + QStringLiteral("-shm"), db + QStringLiteral("-journal")};
}

} // namespace sentrel
