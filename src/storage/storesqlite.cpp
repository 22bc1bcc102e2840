#include "storage/storesqlite.h"
#include "text/lines.h"
#include <sqlite3.h>

namespace sentrel {

namespace {

QString messageOf(sqlite3 *db, int rc)
{
    // sqlite3_errmsg describes the last failure of the connection; without a
    // connection (out of memory at open) only the code is known.
    return db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString::fromUtf8(sqlite3_errstr(rc));
}

[[noreturn]] void fail(sqlite3 *db, int rc)
{
    throw StoreError(messageOf(db, rc), rc);
}

} // namespace

StoreError::StoreError(QString message, int code) : Error(std::move(message)), code_(code) {}

SqliteStatement::SqliteStatement(sqlite3 *db, QStringView sql) : db_(db)
{
    const QByteArray utf8 = sql.toUtf8();
    // The text is handed over as built; an embedded NUL ends it where SQLite
    // reads it, which leaves an unterminated literal and so an error, never
    // a silently shortened value.
    const int rc = sqlite3_prepare_v2(db_, utf8.constData(), int(utf8.size()), &stmt_, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_finalize(stmt_);
        stmt_ = nullptr;
        fail(db_, rc);
    }
    if (!stmt_) // only blanks or a comment
        throw StoreError(QStringLiteral("empty statement"), SQLITE_MISUSE);
}

SqliteStatement::~SqliteStatement()
{
    sqlite3_finalize(stmt_);
}

SqliteStatement::SqliteStatement(SqliteStatement &&other) noexcept : db_(other.db_), stmt_(other.stmt_)
{
    other.stmt_ = nullptr;
}

void SqliteStatement::bind(int index, QStringView text)
{
    if (text.contains(u'\0'))
        throw StoreError(QStringLiteral("a text holding a NUL character cannot be stored"), SQLITE_MISMATCH);
    const QByteArray utf8 = text.toUtf8();
    // An empty text stays an empty text, never NULL: SQLite binds a null
    // pointer as NULL, so hand it a real one.
    const char *data = utf8.isNull() ? "" : utf8.constData();
    const int rc = sqlite3_bind_text(stmt_, index, data, int(utf8.size()), SQLITE_TRANSIENT);
    if (rc != SQLITE_OK)
        fail(db_, rc);
}

void SqliteStatement::bindOrNull(int index, const std::optional<QString> &textOrNull)
{
    if (textOrNull)
        bind(index, QStringView(*textOrNull));
    else
        bindNull(index);
}

void SqliteStatement::bindNull(int index)
{
    const int rc = sqlite3_bind_null(stmt_, index);
    if (rc != SQLITE_OK)
        fail(db_, rc);
}

void SqliteStatement::bindInteger(int index, qint64 value)
{
    const int rc = sqlite3_bind_int64(stmt_, index, value);
    if (rc != SQLITE_OK)
        fail(db_, rc);
}

void SqliteStatement::bindBlob(int index, QByteArrayView bytes)
{
    const int rc = bytes.isEmpty() ? sqlite3_bind_zeroblob(stmt_, index, 0)
                                   : sqlite3_bind_blob64(stmt_, index, bytes.data(),
                                                         sqlite3_uint64(bytes.size()), SQLITE_TRANSIENT);
    if (rc != SQLITE_OK)
        fail(db_, rc);
}

bool SqliteStatement::step()
{
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    fail(db_, rc);
}

int SqliteStatement::run()
{
    while (step()) {
    }
    return sqlite3_changes(db_);
}

int SqliteStatement::columnCount() const
{
    return sqlite3_column_count(stmt_);
}

QString SqliteStatement::columnName(int column) const
{
    return QString::fromUtf8(sqlite3_column_name(stmt_, column));
}

int SqliteStatement::columnIndex(QStringView name) const
{
    const int n = columnCount();
    for (int i = 0; i < n; ++i)
        if (equalsAsciiCaseless(columnName(i), name))
            return i;
    return -1;
}

bool SqliteStatement::isNull(int column) const
{
    return sqlite3_column_type(stmt_, column) == SQLITE_NULL;
}

QString SqliteStatement::text(int column) const
{
    const auto *data = reinterpret_cast<const char *>(sqlite3_column_text(stmt_, column));
    if (!data)
        return QString();
    return QString::fromUtf8(data, sqlite3_column_bytes(stmt_, column));
}

qint64 SqliteStatement::integer(int column) const
{
    return sqlite3_column_int64(stmt_, column);
}

QByteArray SqliteStatement::blob(int column) const
{
    const void *data = sqlite3_column_blob(stmt_, column);
    if (!data)
        return QByteArray();
    return QByteArray(static_cast<const char *>(data), sqlite3_column_bytes(stmt_, column));
}

SqliteConnection::SqliteConnection(const QString &path)
{
    const QByteArray name = path.toUtf8();
    const int rc =
        sqlite3_open_v2(name.constData(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (rc != SQLITE_OK) {
        const QString message = messageOf(db_, rc);
        sqlite3_close(db_);
        db_ = nullptr;
        throw StoreOpenError(message, rc);
    }
    sqlite3_extended_result_codes(db_, 1);
}

SqliteConnection::~SqliteConnection()
{
    // As the last connection, closing checkpoints the write-ahead log into
    // the database file. A statement still alive keeps the connection until
    // it is finalised (close_v2), instead of the close failing and leaking it.
    sqlite3_close_v2(db_);
}

SqliteStatement SqliteConnection::prepare(QStringView sql)
{
    return SqliteStatement(db_, sql);
}

int SqliteConnection::execute(QStringView sql)
{
    SqliteStatement statement(db_, sql);
    while (statement.step()) {
    }
    return sqlite3_changes(db_);
}

QString SqliteConnection::queryText(QStringView sql)
{
    SqliteStatement statement(db_, sql);
    return statement.step() ? statement.text(0) : QString();
}

void SqliteConnection::setBusyTimeout(int milliseconds)
{
    sqlite3_busy_timeout(db_, milliseconds);
}

bool SqliteConnection::inTransaction() const
{
    return sqlite3_get_autocommit(db_) == 0;
}

bool SqliteConnection::isReadOnly() const
{
    return sqlite3_db_readonly(db_, "main") == 1;
}

SqliteSavepoint::SqliteSavepoint(SqliteConnection &db, QStringView name) : db_(db), name_(name.toString())
{
    db_.execute(QStringLiteral("SAVEPOINT %1;").arg(name_));
}

SqliteSavepoint::~SqliteSavepoint()
{
    if (released_)
        return;
    try {
        db_.execute(QStringLiteral("ROLLBACK TO %1;").arg(name_));
        db_.execute(QStringLiteral("RELEASE %1;").arg(name_));
    } catch (const StoreError &) {
        // The transaction around it is already gone (the database undid it
        // after an I/O error); the caller's own error says why.
    }
}

void SqliteSavepoint::release()
{
    db_.execute(QStringLiteral("RELEASE %1;").arg(name_));
    released_ = true;
}

} // namespace sentrel
