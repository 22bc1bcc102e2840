#pragma once
// The WEBSITES table in one place: its columns, the table of a new store and
// every statement the store runs on it. Shared by the build-time tool that
// writes the template empty.db and by the store itself, which creates the
// same table when the template is missing, so both always agree. Plain C
// strings: the tool does not link Qt.
//
// Other programs and older versions read the table by these column names
// (SQL names are caseless, so an older "strip" is the same column) and by
// position after "select *": migrations only ever append columns.
namespace sentrel::storeschema {

inline constexpr char16_t IdColumn[] = u"ID";
inline constexpr char16_t UrlColumn[] = u"URL";
inline constexpr char16_t ContentColumn[] = u"CONTENT";
inline constexpr char16_t StatusColumn[] = u"STATUS";
inline constexpr char16_t LastChangeColumn[] = u"LASTCHANGE";

// The per-URL check options, in table order. The store reads and writes
// every column listed in OptionColumns; a migration step adds it to older
// stores.
inline constexpr char16_t StripColumn[] = u"STRIP";
inline constexpr char16_t LineStartColumn[] = u"LINESTART";
inline constexpr char16_t LineStopColumn[] = u"LINESTOP";
inline constexpr char16_t KeywordColumn[] = u"KEYWORD";
inline constexpr char16_t XPathColumn[] = u"XPATH";
inline constexpr char16_t RegexColumn[] = u"REGEX";

struct OptionColumn {
    // The column's name and its SQL type.
    const char16_t *name;
    const char16_t *type;
};
inline constexpr OptionColumn OptionColumns[] = {
    {StripColumn, u"TEXT"},   {LineStartColumn, u"INTEGER"}, {LineStopColumn, u"INTEGER"},
    {KeywordColumn, u"TEXT"}, {XPathColumn, u"TEXT"},        {RegexColumn, u"TEXT"},
};

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

// The statements, every value a bound parameter. "The first row" is the
// oldest among rows with equal URLs (see CreateUrlIndex).
inline constexpr char16_t LoadAll[] = u"select * from WEBSITES;";
inline constexpr char16_t AllUrls[] = u"select URL from WEBSITES;";
inline constexpr char16_t AddUrl[] = u"insert into WEBSITES (URL) values (?1);";
inline constexpr char16_t FirstIdOfUrl[] = u"select ID from WEBSITES where URL=?1 LIMIT 1;";
inline constexpr char16_t IdsOfUrl[] = u"select ID from WEBSITES where URL=?1;";
// ?1 ID, ?2 URL, as SaveContent finds the row.
inline constexpr char16_t ContentOfRow[] = u"select CONTENT from WEBSITES where ID=?1 and URL=?2;";
inline constexpr char16_t FirstRowOfUrl[] = u"select * from WEBSITES where URL=?1 LIMIT 1;";
inline constexpr char16_t RemoveUrl[] = u"delete from WEBSITES where URL=?1;";
// ?1 content, ?2 status, ?3 ID, ?4 URL: the row keeps its URL or is left alone.
inline constexpr char16_t SaveContent[] =
    u"update WEBSITES SET CONTENT=?1, STATUS=?2, LASTCHANGE=DATETIME('now') where ID=?3 and URL=?4;";

} // namespace sentrel::storeschema
