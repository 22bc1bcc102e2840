// A store of version 1 (WEBSITES only) opened by this version: it gains the
// HISTORY table and keeps its rows, a program that knows only WEBSITES still
// works on it, and a copy that cannot be written still opens for reading.
#include "storage/storemigration.h"
#include "storage/websitedb.h"
#include "storetestsupport.h"
#include "support/qtext.h"
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace sentrel;
using namespace sentrel::testing;

namespace {

const QStringList version1Columns = {u16(u"ID"),         u16(u"URL"),   u16(u"CONTENT"),   u16(u"STATUS"),
                                     u16(u"LASTCHANGE"), u16(u"STRIP"), u16(u"LINESTART"), u16(u"LINESTOP"),
                                     u16(u"KEYWORD"),    u16(u"XPATH"), u16(u"REGEX")};

// The store as version 1 left it, in the journal mode given ("delete" as a
// plain SQLite program leaves it, "wal" as the program itself did).
void writeVersion1Store(const DataFolder &folder, const char16_t *journalMode = u"delete")
{
    auto raw = folder.raw();
    raw->queryText(QStringLiteral("PRAGMA journal_mode=%1;").arg(QString::fromUtf16(journalMode)));
    raw->execute(u"CREATE TABLE WEBSITES (ID INTEGER PRIMARY KEY, URL TEXT, CONTENT TEXT, STATUS TEXT, "
                 u"LASTCHANGE DATETIME, STRIP TEXT, LINESTART INTEGER, LINESTOP INTEGER, KEYWORD TEXT, "
                 u"XPATH TEXT, REGEX TEXT);");
    raw->execute(u"insert into WEBSITES (URL,CONTENT,STATUS,LASTCHANGE,STRIP) values "
                 u"('http://checked/','old text\n','OK','2024-01-15 10:00:00','NO');");
    raw->execute(u"insert into WEBSITES (URL) values ('http://unchecked/');");
    raw->execute(u"PRAGMA user_version=1;");
}

// Every row by position after "select *", as a program that knows only
// WEBSITES reads it.
QStringList rowsByPlainSql(SqliteConnection &db)
{
    QStringList rows;
    for (SqliteStatement all = db.prepare(u"select * from WEBSITES;"); all.step();) {
        QStringList values;
        for (int i = 0; i < all.columnCount(); ++i)
            values.append(all.isNull(i) ? u16(u"NULL") : all.text(i));
        rows.append(values.join(u'|'));
    }
    return rows;
}

bool hasHistoryTable(SqliteConnection &db)
{
    return db.queryText(u"select count(*) from sqlite_master where name='HISTORY';").toInt() == 1;
}

void runWithUrl(SqliteConnection &db, const char16_t *sql, const QString &url,
                const std::vector<QString> &valuesBefore = {})
{
    SqliteStatement statement = db.prepare(sql);
    int parameter = 1;
    for (const QString &value : valuesBefore)
        statement.bind(parameter++, value);
    statement.bind(parameter, url);
    EXPECT_EQ(statement.run(), 1) << QString::fromUtf16(sql).toStdString();
}

TEST(HistoryUpgrade, AVersion1StoreGainsHistoryAndStillServesAProgramThatKnowsOnlyWebsites)
{
    DataFolder folder;
    writeVersion1Store(folder);
    const QStringList rowsBefore = rowsByPlainSql(*folder.raw());
    {
        auto db = folder.open();
        auto other = folder.raw();
        EXPECT_TRUE(hasHistoryTable(*other));
        EXPECT_EQ(storeSchemaVersion(*other), StoreSchemaVersion);
        EXPECT_EQ(rowsByPlainSql(*other), rowsBefore);
        EXPECT_TRUE(db->history(u16(u"http://checked/")).empty())
            << "texts of the older version have no history";
        EXPECT_TRUE(db->DbSaveWebsite(u16(u"http://checked/"), u16(u"new text\n"), u16(u"Changed!")));
        const std::vector<SnapshotRecord> history = db->history(u16(u"http://checked/"));
        ASSERT_EQ(history.size(), 1u);
        EXPECT_EQ(history.front().added, 1) << "counted against the text the older version stored";
        EXPECT_EQ(history.front().removed, 1);
    }

    // The statements of a program that knows only WEBSITES, on the upgraded file.
    auto older = folder.raw();
    SqliteStatement all = older->prepare(u"select * from WEBSITES;");
    QStringList columns;
    for (int i = 0; i < all.columnCount(); ++i)
        columns.append(all.columnName(i));
    EXPECT_EQ(columns, version1Columns) << "select * reads the columns where they always were";
    runWithUrl(*older, u"insert into WEBSITES (URL) values (?);", u16(u"http://inserted/"));
    runWithUrl(*older, u"update WEBSITES set CONTENT=?, STATUS=?, LASTCHANGE=DATETIME('now') where URL=?;",
               u16(u"http://inserted/"), {u16(u"its text"), u16(u"OK")});
    runWithUrl(*older, u"delete from WEBSITES where URL=?;", u16(u"http://checked/"));
    const QStringList rows = rowsByPlainSql(*older);
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[0], u16(u"2|http://unchecked/|NULL|NULL|NULL|NULL|NULL|NULL|NULL|NULL|NULL"));
    EXPECT_TRUE(rows[1].startsWith(u16(u"3|http://inserted/|its text|OK|"))) << rows[1].toStdString();

    // This version goes on where the older program left off.
    auto db = folder.open();
    EXPECT_EQ(older->queryText(u"select count(*) from HISTORY;"), u"0")
        << "the deleted URL's history is purged";
    EXPECT_EQ(db->lookup(u16(u"http://inserted/"))->content, u"its text");
    EXPECT_TRUE(db->DbSaveWebsite(u16(u"http://inserted/"), u16(u"its text\nand more"), u16(u"Changed!")));
    EXPECT_EQ(db->history(u16(u"http://inserted/")).size(), 1u);
}

// A version 1 store whose file cannot be written: the program shows what it
// holds (with no history) and refuses changes as for any read-only store,
// and the file stays as it was, to be upgraded by a start that can write.
TEST(HistoryUpgrade, AReadOnlyVersion1StoreOpensForReading)
{
    for (const char16_t *journalMode : {u"delete", u"wal"}) {
        SCOPED_TRACE(QString::fromUtf16(journalMode).toStdString());
        DataFolder folder;
        writeVersion1Store(folder, journalMode);
        const QByteArray before = fileBytes(folder.storePath());
        ASSERT_EQ(chmod(QFile::encodeName(folder.storePath()).constData(), 0444), 0);
        ASSERT_EQ(chmod(QFile::encodeName(folder.path()).constData(), 0777), 0);
        // File permissions do not bind root: the child gives up its rights.
        const std::string result = inChild(
            [&] {
                std::string what;
                try {
                    auto db = folder.open();
                    what = "rows " + std::to_string(db->DbLoadWebsites().size());
                    what +=
                        ", text " + db->lookupRow(u16(u"http://checked/"))->text(u"CONTENT").toStdString();
                    what += ", history " + std::to_string(db->history(u16(u"http://checked/")).size());
                    db->DbSaveWebsite(u16(u"http://checked/"), u16(u"new"), u16(u"OK"));
                    what += ", saved";
                } catch (const StoreError &e) {
                    what += " error: " + e.message().toStdString();
                }
                return what;
            },
            true);
        chmod(QFile::encodeName(folder.path()).constData(), 0700);
        chmod(QFile::encodeName(folder.storePath()).constData(), 0600);
        EXPECT_EQ(result, "rows 2, text old text\n, history 0 error: attempt to write a readonly database");
        EXPECT_EQ(fileBytes(folder.storePath()), before);
        EXPECT_EQ(storeSchemaVersion(*folder.raw()), 1) << "the version is not recorded without the table";

        // Writable again, the next start upgrades it.
        auto db = folder.open();
        EXPECT_TRUE(hasHistoryTable(*folder.raw()));
        EXPECT_EQ(storeSchemaVersion(*folder.raw()), StoreSchemaVersion);
    }
}

} // namespace
