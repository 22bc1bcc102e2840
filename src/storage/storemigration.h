#pragma once
#include <QStringList>

// The schema of websites.db over the program's versions. The file records
// the version it was brought to (PRAGMA user_version; 0 for every store
// written before versions were recorded, whatever its shape), and opening
// runs each later step once, in order. Steps only ever add to the table, so
// a store upgraded here still reads in a program that knows only WEBSITES.
namespace sentrel {

class SqliteConnection;

// The version the steps bring a store to: the number of the last one.
extern const int StoreSchemaVersion;

// Runs every step the store has not had, each in one transaction with its
// version mark, so a step is either done and recorded or not done at all.
// Another program migrating the same file at the same moment waits for the
// write lock and then finds the step done. A step with nothing left to
// change (a store of an older version that already has the shape) only
// records the version, and only where the file can be written: a read-only
// store of the current shape still opens, and so does one that lacks only
// steps its rows read without (the HISTORY table): those wait, unrecorded,
// for a start that can write. Throws StoreError when a step that must
// change the store fails.
void migrateStore(SqliteConnection &db);

// The version recorded in the file.
int storeSchemaVersion(SqliteConnection &db);

// The columns of WEBSITES in table order, as the file names them.
QStringList columnsOfWebsites(SqliteConnection &db);

} // namespace sentrel
