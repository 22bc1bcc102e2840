#pragma once
#include "text/error.h"
#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>
#include <optional>

struct sqlite3;
struct sqlite3_stmt;

// A thin RAII layer over the SQLite C API: one connection, its statements and
// the errors they raise, with text going in and out as QString.
namespace sentrel {

// A statement the database refused or could not carry out. message() is the
// database's own description ("database is locked", "no such table: X", ...).
class StoreError : public Error {
public:
    StoreError(QString message, int code);
    int code() const noexcept { return code_; } // the SQLite result code
private:
    int code_;
};

// The store could not be opened at all: the file cannot be created or read,
// is not a database, or stayed locked beyond the busy timeout.
class StoreOpenError : public StoreError {
public:
    using StoreError::StoreError;
};

class SqliteStatement {
public:
    SqliteStatement(sqlite3 *db, QStringView sql); // throws StoreError
    ~SqliteStatement();
    SqliteStatement(SqliteStatement &&other) noexcept;
    SqliteStatement &operator=(SqliteStatement &&) = delete;
    SqliteStatement(const SqliteStatement &) = delete;

    // Binds a value to the parameter ?index (from 1). A text holding NUL is
    // refused with a StoreError: the C side of other programs reading the
    // table would see it cut short there.
    void bind(int index, QStringView text);
    void bindOrNull(int index, const std::optional<QString> &textOrNull); // nothing binds NULL
    void bindNull(int index);
    void bindInteger(int index, qint64 value);
    void bindBlob(int index, QByteArrayView bytes); // an empty one binds a zero-length blob, not NULL

    // Runs to the next row: true when there is one, false when done.
    bool step();
    // Runs to the end, rows ignored; returns the rows it changed.
    int run();

    int columnCount() const;
    QString columnName(int column) const;
    // The first column whose name equals `name` ignoring ASCII case (SQL
    // names are caseless), or -1.
    int columnIndex(QStringView name) const;
    bool isNull(int column) const;
    QString text(int column) const; // NULL reads as ""
    qint64 integer(int column) const;
    QByteArray blob(int column) const; // NULL reads as empty

private:
    sqlite3 *db_;
    sqlite3_stmt *stmt_ = nullptr;
};

class SqliteConnection {
public:
    // Opens (and creates, when missing) the database file. Throws StoreOpenError.
    explicit SqliteConnection(const QString &path);
    ~SqliteConnection();
    SqliteConnection(const SqliteConnection &) = delete;
    SqliteConnection &operator=(const SqliteConnection &) = delete;

    SqliteStatement prepare(QStringView sql);
    // Runs one statement to its end, rows ignored; returns the rows it changed.
    int execute(QStringView sql);
    // The first column of the first row as text ("" when there is no row).
    QString queryText(QStringView sql);

    void setBusyTimeout(int milliseconds);
    bool inTransaction() const; // an explicit transaction is open
    bool isReadOnly() const;
    sqlite3 *handle() const { return db_; }

private:
    sqlite3 *db_ = nullptr;
};

// Statements that must take effect together, also inside a transaction
// someone else opened (or as their own one when none is open): released,
// they stay part of the surrounding transaction; otherwise the destructor
// undoes them, and only them. The name must be a plain SQL identifier.
class SqliteSavepoint {
public:
    SqliteSavepoint(SqliteConnection &db, QStringView name);
    ~SqliteSavepoint();
    SqliteSavepoint(const SqliteSavepoint &) = delete;
    SqliteSavepoint &operator=(const SqliteSavepoint &) = delete;

    void release();

private:
    SqliteConnection &db_;
    QString name_;
    bool released_ = false;
};

} // namespace sentrel
