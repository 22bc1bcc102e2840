#include "storage/storemigration.h"
#include "storage/websitedb.h"
#include "storetestsupport.h"
#include "support/qtext.h"
#include <QFile>
#include <gtest/gtest.h>

using namespace sentrel;
using namespace sentrel::testing;

namespace {

// The rows as a program that knows only the WEBSITES table reads them: by
// position after "select *", in the order the table returns them, NULL
// shown as such.
QStringList rowsByPlainSql(SqliteConnection &db)
{
    QStringList rows;
    for (SqliteStatement all = db.prepare(u"select * from WEBSITES;"); all.step();) {
        QStringList values;
        for (int i = 0; i < all.columnCount(); ++i)
            values.append(all.isNull(i) ? QStringLiteral("NULL") : all.text(i));
        rows.append(values.join(u'|'));
    }
    return rows;
}

const QStringList fullColumns = {u16(u"ID"),         u16(u"URL"),   u16(u"CONTENT"),   u16(u"STATUS"),
                                 u16(u"LASTCHANGE"), u16(u"STRIP"), u16(u"LINESTART"), u16(u"LINESTOP"),
                                 u16(u"KEYWORD"),    u16(u"XPATH"), u16(u"REGEX")};

struct OlderStore {
    const char *name;
    // Statements that leave the store as that version wrote it; none for
    // an empty file.
    std::vector<const char16_t *> statements;
    bool fromTemplate;
    QStringList columnsAfter;
    QStringList rowsAfter; // as rowsByPlainSql reads them
};

// Every shape a store of an earlier version can have, opened by this one.
TEST(StoreMigration, EveryOlderShapeOpensKeepsItsRowsAndGainsTheMissingColumnsOnce)
{
    const QString kept = u16(u"1|http://old|text|OK|2024-01-15 10:00:00");
    const OlderStore cases[] = {
        {"an empty file", {}, false, fullColumns, {}},
        {"the template empty.db", {}, true, fullColumns, {}},
        {"no option columns yet",
         {u"CREATE TABLE WEBSITES (ID INTEGER PRIMARY KEY, URL TEXT, CONTENT TEXT, STATUS TEXT, "
          u"LASTCHANGE DATETIME);",
          u"insert into WEBSITES (URL,CONTENT,STATUS,LASTCHANGE) values "
          u"('http://old','text','OK','2024-01-15 10:00:00');"},
         false,
         fullColumns,
         {kept + u16(u"|NULL|NULL|NULL|NULL|NULL|NULL")}},
        {"only some option columns",
         {u"CREATE TABLE WEBSITES (ID INTEGER PRIMARY KEY, URL TEXT, CONTENT TEXT, STATUS TEXT, "
          u"LASTCHANGE DATETIME, STRIP TEXT, LINESTART INTEGER);",
          u"insert into WEBSITES (URL,CONTENT,STATUS,LASTCHANGE,STRIP,LINESTART) values "
          u"('http://old','text','OK','2024-01-15 10:00:00','NO',3);"},
         false,
         fullColumns,
         {kept + u16(u"|NO|3|NULL|NULL|NULL|NULL")}},
        {"a hand-made table in lower case",
         {u"create table websites (id integer primary key, url text, content text, status text, "
          u"lastchange datetime, strip text, keyword text);",
          u"insert into websites (url,content,status,lastchange,strip,keyword) values "
          u"('http://old','text','OK','2024-01-15 10:00:00','NO','k');"},
         false,
         {u16(u"id"), u16(u"url"), u16(u"content"), u16(u"status"), u16(u"lastchange"), u16(u"strip"),
          u16(u"keyword"), u16(u"LINESTART"), u16(u"LINESTOP"), u16(u"XPATH"), u16(u"REGEX")},
         {kept + u16(u"|NO|k|NULL|NULL|NULL|NULL")}},
        {"the full shape written before versions were recorded",
         {u"CREATE TABLE WEBSITES (ID INTEGER PRIMARY KEY, URL TEXT, CONTENT TEXT, STATUS TEXT, "
          u"LASTCHANGE DATETIME, STRIP TEXT, LINESTART INTEGER, LINESTOP INTEGER, KEYWORD TEXT, "
          u"XPATH TEXT, REGEX TEXT);",
          u"insert into WEBSITES (URL,CONTENT,STATUS,LASTCHANGE,STRIP,LINESTOP) values "
          u"('http://old','text','OK','2024-01-15 10:00:00','YES',9);"},
         false,
         fullColumns,
         {kept + u16(u"|YES|NULL|9|NULL|NULL|NULL")}},
    };
    for (const OlderStore &c : cases) {
        SCOPED_TRACE(c.name);
        DataFolder folder;
        if (c.fromTemplate) {
            ASSERT_TRUE(QFile::copy(QStringLiteral(SENTREL_TEMPLATE_DB), folder.storePath()));
        } else {
            auto raw = folder.raw();
            for (const char16_t *statement : c.statements)
                raw->execute(statement);
        }
        ASSERT_EQ(storeSchemaVersion(*folder.raw()), 0);

        for (int start = 0; start < 2; ++start) {
            SCOPED_TRACE(start == 0 ? "first start" : "second start changes nothing");
            auto db = folder.open();
            auto other = folder.raw();
            EXPECT_EQ(columnsOfWebsites(*other), c.columnsAfter);
            EXPECT_EQ(rowsByPlainSql(*other), c.rowsAfter);
            EXPECT_EQ(storeSchemaVersion(*other), StoreSchemaVersion);
        }

        // The upgraded store works for this version and still for one that
        // knows only the table: a row added now reads back by plain SQL.
        auto db = folder.open();
        db->DbAddUrl(u16(u"http://new"));
        const std::optional<WebsiteRecord> added = db->lookup(u16(u"http://new"));
        ASSERT_TRUE(added);
        EXPECT_TRUE(added->options.strip);
        EXPECT_FALSE(added->content);
        const QStringList rows = rowsByPlainSql(*folder.raw());
        ASSERT_FALSE(rows.isEmpty());
        EXPECT_TRUE(rows.back().contains(u16(u"|http://new|NULL|NULL|NULL|NULL|")))
            << rows.back().toStdString();
    }
}

// An older store's options read back typed, as the check always read them.
TEST(StoreMigration, OptionsOfAnOlderStoreReadBackTyped)
{
    DataFolder folder;
    {
        auto raw = folder.raw();
        raw->execute(u"CREATE TABLE WEBSITES (ID INTEGER PRIMARY KEY, URL TEXT, CONTENT TEXT, STATUS TEXT, "
                     u"LASTCHANGE DATETIME, strip TEXT, LINESTART INTEGER);");
        raw->execute(
            u"insert into WEBSITES (URL,CONTENT,strip,LINESTART) values ('http://old','t','NO','-2');");
    }
    const std::optional<WebsiteRecord> r = folder.open()->lookup(u16(u"http://old"));
    ASSERT_TRUE(r);
    EXPECT_EQ(r->rowId, 1);
    EXPECT_EQ(r->content, u"t");
    EXPECT_FALSE(r->options.strip);
    EXPECT_TRUE(r->options.lineRange);
    EXPECT_EQ(r->options.lineStart, -2);
    EXPECT_EQ(r->options.lineStop, std::nullopt);
    EXPECT_EQ(r->options.keyword, std::nullopt);
}

// A store a later version wrote: its steps are not this version's to undo
// or redo, and its mark stays.
TEST(StoreMigration, AStoreOfALaterVersionIsLeftAtItsVersion)
{
    DataFolder folder;
    folder.open()->DbAddUrl(u16(u"http://a"));
    folder.raw()->execute(u"PRAGMA user_version=99;");
    auto db = folder.open();
    EXPECT_EQ(storeSchemaVersion(*folder.raw()), 99);
    EXPECT_EQ(db->DbLoadWebsites().size(), 1u);
}

} // namespace
