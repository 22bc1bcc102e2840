#pragma once
// The table of a new store. Shared by the build-time tool that writes the
// template empty.db and by the store itself, which creates the same table
// when the template is missing, so both always agree. Plain C strings: the
// tool does not link Qt.
namespace sentrel::storeschema {

// Set before anything is written: see the store's connection settings.
inline constexpr char PageSize[] = "PRAGMA page_size=16384;";

// ID is the rowid, so the database assigns it and "select * from WEBSITES;"
// returns rows in insertion order. LASTCHANGE holds DATETIME('now') text (UTC).
inline constexpr char CreateTable[] = "CREATE TABLE WEBSITES (ID INTEGER PRIMARY KEY, URL TEXT, CONTENT "
                                      "TEXT, STATUS TEXT, LASTCHANGE DATETIME);";

// Every statement but the load finds its rows by URL; without the index each
// one reads the whole table. Among equal URLs the index keeps rowid order, so
// "the first row returned" stays the oldest one.
inline constexpr char CreateUrlIndex[] = "CREATE INDEX IF NOT EXISTS WEBSITES_URL ON WEBSITES (URL);";

} // namespace sentrel::storeschema
