#include "storage/storeerror.h"
#include "storage/storemigration.h"
#include "storage/websitedb.h"
#include "storetestsupport.h"
#include "support/qtext.h"
#include "support/timezone.h"
#include <QDateTime>
#include <QFileInfo>
#include <QSet>
#include <cstdlib>
#include <ctime>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace sentrel;
using namespace sentrel::testing;
using namespace std::literals;

namespace {

const QStringList allColumns = {
    QStringLiteral("ID"),        QStringLiteral("URL"),        QStringLiteral("CONTENT"),
    QStringLiteral("STATUS"),    QStringLiteral("LASTCHANGE"), QStringLiteral("STRIP"),
    QStringLiteral("LINESTART"), QStringLiteral("LINESTOP"),   QStringLiteral("KEYWORD"),
    QStringLiteral("XPATH"),     QStringLiteral("REGEX")};

StoreSettings shortBusyTimeout()
{
    StoreSettings s;
    s.busyTimeoutMs = 200;
    return s;
}

QStringList urlsOf(WebsiteDb &db)
{
    QStringList urls;
    for (const ListedWebsite &w : db.DbLoadWebsites())
        urls.append(w.url);
    return urls;
}

// Texts that break naive quoting or encoding: quotes, every kind of line
// break, SQL and format metacharacters, and characters of every plane.
const struct {
    const char *name;
    QString text;
} trickyTexts[] = {
    {"single and double quotes", u16(u"it's a 'quoted' \"text\" ''")},
    {"line breaks of every kind", u16(u"one\r\ntwo\nthree\rfour\r\n")},
    {"statement injection", u16(u"x'); delete from WEBSITES; --")},
    {"placeholders", u16(u"%1 %s ? :name $1 @x")},
    {"blanks kept untrimmed", u16(u"  \t padded \t  ")},
    {"basic plane", u16(u"é ñ ß 中文 — € \uFEFF \uFFFD")},
    {"supplementary planes", u16(u"\U0001F600 \U0001D11E \U0002070E \U000E0001 \U000F0000 \U0010FFFD")},
    {"control characters", u16(u"\x01\x1F\x7F")},
};

TEST(StoreOpen, WithoutTemplateCreatesTheFullTable)
{
    DataFolder folder;
    auto db = folder.open();
    EXPECT_TRUE(db->DbLoadWebsites().empty());
    EXPECT_EQ(columnsOfWebsites(*folder.raw()), allColumns);
}

TEST(StoreOpen, BuildTemplateGivesAnEmptyStoreWithAllColumns)
{
    ASSERT_TRUE(QFileInfo::exists(QStringLiteral(SENTREL_TEMPLATE_DB)));
    DataFolder folder;
    auto db = folder.open({.templatePath = QStringLiteral(SENTREL_TEMPLATE_DB)});
    EXPECT_TRUE(db->DbLoadWebsites().empty());
    EXPECT_EQ(columnsOfWebsites(*folder.raw()), allColumns);
    db->DbAddUrl(QStringLiteral("http://a"));
    db->DbAddUrl(QStringLiteral("http://b"));
    EXPECT_EQ(urlsOf(*db), (QStringList{QStringLiteral("http://a"), QStringLiteral("http://b")}));
}

TEST(StoreOpen, CopiesTheTemplateOnlyWhenNoStoreExists)
{
    DataFolder source;
    source.open()->DbAddUrl(QStringLiteral("http://from-template"));
    const QString templatePath = source.storePath();

    DataFolder fresh;
    EXPECT_EQ(urlsOf(*fresh.open({.templatePath = templatePath})),
              QStringList{QStringLiteral("http://from-template")});

    DataFolder existing;
    existing.open()->DbAddUrl(QStringLiteral("http://mine"));
    EXPECT_EQ(urlsOf(*existing.open({.templatePath = templatePath})),
              QStringList{QStringLiteral("http://mine")});
}

TEST(StoreOpen, MigratesAnOlderStoreAndKeepsItsRows)
{
    DataFolder folder;
    {
        auto raw = folder.raw();
        // An older store that already has a lower-case "strip" column.
        raw->execute(u"CREATE TABLE WEBSITES (ID INTEGER PRIMARY KEY, URL TEXT, CONTENT TEXT, STATUS TEXT, "
                     u"LASTCHANGE DATETIME, strip TEXT);");
        raw->execute(u"insert into WEBSITES (URL,CONTENT,STATUS,LASTCHANGE,strip) "
                     u"values ('http://old','text','OK','2024-01-15 10:00:00','NO');");
    }
    for (int start = 0; start < 2; ++start) {
        SCOPED_TRACE(start == 0 ? "first start" : "second start adds nothing");
        auto db = folder.open();
        QStringList expected = allColumns;
        expected[5] = QStringLiteral("strip");
        EXPECT_EQ(columnsOfWebsites(*folder.raw()), expected);
        const auto row = db->lookupRow(QStringLiteral("http://old"));
        ASSERT_TRUE(row);
        EXPECT_EQ(row->text(u"CONTENT"), u"text");
        EXPECT_EQ(row->text(u"STRIP"), u"NO");
        EXPECT_TRUE(row->isNull(u"KEYWORD"));
        EXPECT_TRUE(row->isNull(u"LINESTART"));
    }
}

TEST(StoreValues, RoundTripExactlyThroughEveryOperation)
{
    DataFolder folder;
    auto db = folder.open();
    for (const auto &c : trickyTexts) {
        SCOPED_TRACE(c.name);
        const QString url = QStringLiteral("http://x/") + c.text;
        db->DbAddUrl(url);
        EXPECT_EQ(db->DbLoadWebsites().back().url, url);
        db->DbSaveWebsite(url, c.text, c.text);
        auto row = db->lookupRow(url);
        ASSERT_TRUE(row);
        EXPECT_EQ(row->text(u"URL"), url);
        EXPECT_EQ(row->text(u"CONTENT"), c.text);
        EXPECT_EQ(row->text(u"STATUS"), c.text);
        // The save by the row's ID keys on the URL too.
        EXPECT_TRUE(db->DbSaveWebsite(url, c.text + u'2', c.text, row->text(u"ID").toLongLong()));
        EXPECT_EQ(db->lookupRow(url)->text(u"CONTENT"), c.text + u'2');
    }
    EXPECT_EQ(db->DbLoadWebsites().size(), std::size(trickyTexts));
}

TEST(StoreValues, NulInsideATextIsRefusedNotShortened)
{
    DataFolder folder;
    auto db = folder.open();
    EXPECT_THROW(db->DbAddUrl(u16(u"http://a\0b"sv)), StoreError);
    EXPECT_TRUE(db->DbLoadWebsites().empty());
}

TEST(StoreSave, UpdatesTheFirstRowAndNeverInsertsOne)
{
    DataFolder folder;
    auto db = folder.open();
    const QString url = QStringLiteral("http://example.com/");
    db->DbAddUrl(url);
    auto row = db->lookupRow(url);
    ASSERT_TRUE(row);
    EXPECT_TRUE(row->isNull(u"CONTENT"));
    EXPECT_TRUE(row->isNull(u"STATUS"));
    EXPECT_TRUE(row->isNull(u"LASTCHANGE"));
    EXPECT_EQ(row->text(u"CONTENT"), QString()); // NULL reads as empty text

    db->DbSaveWebsite(url, QString(), QStringLiteral("OK"));
    row = db->lookupRow(url);
    EXPECT_FALSE(row->isNull(u"CONTENT")) << "an empty content is an empty text, not NULL";
    EXPECT_EQ(row->text(u"STATUS"), u"OK");
    db->DbSaveWebsite(url, QStringLiteral("new"), QStringLiteral("Changed!"));
    EXPECT_EQ(db->lookupRow(url)->text(u"CONTENT"), u"new");
    EXPECT_EQ(db->DbLoadWebsites().size(), 1u);

    // Only adding makes a row: a URL deleted while its check ran stays deleted.
    EXPECT_FALSE(
        db->DbSaveWebsite(QStringLiteral("http://missing/"), QStringLiteral("t"), QStringLiteral("OK")));
    EXPECT_FALSE(db->lookupRow(QStringLiteral("http://missing/")));
    EXPECT_EQ(db->DbLoadWebsites().size(), 1u);
}

// A check reads its row, downloads for a while and then saves: meanwhile
// another program (or this one) may have changed the list.
TEST(StoreSave, ByRowIdChangesNothingWhenTheRowWasDeletedOrRenamedMeanwhile)
{
    const QString url = QStringLiteral("http://a/");
    const struct {
        const char *name;
        const char16_t *meanwhile; // run on another connection between lookup and save
        QStringList urlsAfter;
    } cases[] = {
        {"deleted", u"delete from WEBSITES where URL='http://a/';", {QStringLiteral("http://b/")}},
        {"renamed",
         u"update WEBSITES set URL='http://renamed/' where URL='http://a/';",
         {QStringLiteral("http://renamed/"), QStringLiteral("http://b/")}},
        {"deleted and added again",
         u"delete from WEBSITES where URL='http://a/'; insert into WEBSITES (URL) values ('http://a/');",
         {QStringLiteral("http://b/"), url}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        DataFolder folder;
        auto db = folder.open();
        db->DbAddUrl(url);
        db->DbAddUrl(QStringLiteral("http://b/"));
        const qint64 id = db->lookupRow(url)->text(u"ID").toLongLong();
        const auto other = folder.raw();
        for (const QString &statement : QString::fromUtf16(c.meanwhile).split(u';', Qt::SkipEmptyParts))
            other->execute(statement);
        EXPECT_FALSE(db->DbSaveWebsite(url, QStringLiteral("text"), QStringLiteral("Changed!"), id));
        EXPECT_EQ(urlsOf(*db), c.urlsAfter);
        EXPECT_EQ(folder.raw()->queryText(
                      u"select count(*) from WEBSITES where CONTENT is not null or STATUS is not null;"),
                  u"0");
    }
}

TEST(StoreSave, StampsTheDatabaseTimeShownInLocalTime)
{
    DataFolder folder;
    auto db = folder.open();
    db->DbAddUrl(QStringLiteral("http://a/"));
    const QDateTime before = QDateTime::currentDateTime().addSecs(-2);
    db->DbSaveWebsite(QStringLiteral("http://a/"), QStringLiteral("x"), QStringLiteral("OK"));
    const QDateTime after = QDateTime::currentDateTime().addSecs(2);
    const QString shown = db->DbLoadWebsites().front().lastChange;
    const QDateTime at = QDateTime::fromString(shown, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    ASSERT_TRUE(at.isValid()) << shown.toStdString();
    EXPECT_LE(before, at);
    EXPECT_LE(at, after);
}

TEST(StoreRows, DuplicateUrlsSaveAndLookUpTheFirstAndDeleteAll)
{
    DataFolder folder;
    auto db = folder.open();
    const QString url = QStringLiteral("http://dup/");
    db->DbAddUrl(url);
    db->DbAddUrl(QStringLiteral("http://other/"));
    db->DbAddUrl(url);
    db->DbSaveWebsite(url, QStringLiteral("first"), QStringLiteral("OK"));
    {
        const auto raw = folder.raw();
        SqliteStatement rows =
            raw->prepare(u"select CONTENT from WEBSITES where URL='http://dup/' order by ID;");
        ASSERT_TRUE(rows.step());
        EXPECT_EQ(rows.text(0), u"first");
        ASSERT_TRUE(rows.step());
        EXPECT_TRUE(rows.isNull(0));
    }
    EXPECT_EQ(db->lookupRow(url)->text(u"CONTENT"), u"first");
    db->deleteUrl(url);
    EXPECT_EQ(urlsOf(*db), QStringList{QStringLiteral("http://other/")});
    EXPECT_FALSE(db->lookupRow(url));
}

TEST(StoreRows, LoadKeepsInsertionOrderAfterDeletes)
{
    DataFolder folder;
    auto db = folder.open();
    for (const char *u : {"http://1", "http://2", "http://3"})
        db->DbAddUrl(QString::fromLatin1(u));
    db->deleteUrl(QStringLiteral("http://3"));
    db->DbAddUrl(QStringLiteral("http://4"));
    db->deleteUrl(QStringLiteral("http://1"));
    db->DbAddUrl(QStringLiteral("http://5"));
    EXPECT_EQ(urlsOf(*db), (QStringList{QStringLiteral("http://2"), QStringLiteral("http://4"),
                                        QStringLiteral("http://5")}));
}

TEST(StoreRows, NeverSavedRowShowsNoLastChangeAndStoredStatusIsReported)
{
    DataFolder folder;
    auto db = folder.open();
    db->DbAddUrl(QStringLiteral("http://new/"));
    db->DbAddUrl(QStringLiteral("http://saved/"));
    db->DbSaveWebsite(QStringLiteral("http://saved/"), QStringLiteral("x"), QStringLiteral("Changed!"));
    const auto rows = db->DbLoadWebsites();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].lastChange, QString());
    EXPECT_EQ(rows[0].status, QString());
    EXPECT_FALSE(rows[1].lastChange.isEmpty());
    EXPECT_EQ(rows[1].status, u"Changed!");
}

TEST(StoreClose, LaterCallsFailWithAStoreError)
{
    DataFolder folder;
    auto db = folder.open();
    db->close();
    EXPECT_THROW(db->DbLoadWebsites(), StoreError);
    EXPECT_THROW(db->DbAddUrl(QStringLiteral("http://a")), StoreError);
    for (const QString &f : storeFiles(folder.path()))
        QFile::remove(f);
    EXPECT_FALSE(QFileInfo::exists(folder.storePath()));
}

// Local time under the system's rules: the TZ variable stands in for the
// system setting and is put back afterwards.
class LocalTimeZone : public ::testing::Test {
protected:
    void set(const QByteArray &zone) { zone_.set(zone.constData()); }

private:
    sentrel::test::TimeZoneGuard zone_;
};

TEST_F(LocalTimeZone, StoredUtcIsShownInLocalTimeWithDaylightSaving)
{
    const struct {
        const char *zone;
        const char16_t *stored;
        const char16_t *shown;
    } cases[] = {
        {"UTC-2", u"2024-01-15 10:00:00", u"2024-01-15 12:00:00"}, // UTC+2, no daylight saving
        {"UTC-2", u"2024-12-31 23:30:05", u"2025-01-01 01:30:05"},
        {"Europe/Berlin", u"2024-01-15 10:00:00", u"2024-01-15 11:00:00"},
        {"Europe/Berlin", u"2024-07-15 10:00:00", u"2024-07-15 12:00:00"},
        {"America/New_York", u"2024-03-10 06:59:59", u"2024-03-10 01:59:59"},
        {"America/New_York", u"2024-03-10 07:00:00", u"2024-03-10 03:00:00"},
        {"UTC", u"2024-02-29T08:09:10", u"2024-02-29 08:09:10"},
        {"UTC-2", u"", u""},
        {"UTC-2", u"edited by hand", u"edited by hand"},
        {"UTC-2", u"2024-13-45 10:00:00", u"2024-13-45 10:00:00"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.zone) + " " + QString::fromUtf16(c.stored).toStdString());
        set(QByteArray(c.zone));
        EXPECT_EQ(localLastChange(QString::fromUtf16(c.stored)), QString::fromUtf16(c.shown));
    }
}

TEST_F(LocalTimeZone, LoadShowsTheStoredTimeInLocalTime)
{
    set(QByteArray("UTC-2"));
    DataFolder folder;
    auto db = folder.open();
    db->DbAddUrl(QStringLiteral("http://a/"));
    folder.raw()->execute(u"update WEBSITES set LASTCHANGE='2024-01-15 10:00:00';");
    EXPECT_EQ(db->DbLoadWebsites().front().lastChange, u"2024-01-15 12:00:00");
}

TEST(StoreFaults, FileThatIsNoDatabaseIsReportedAndLeftAlone)
{
    DataFolder folder;
    const QByteArray junk = QByteArray("This is a list of URLs, not a database.\n").repeated(40);
    {
        QFile f(folder.storePath());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(junk);
    }
    try {
        folder.open({.templatePath = QStringLiteral(SENTREL_TEMPLATE_DB)});
        FAIL() << "opened";
    } catch (const StoreOpenError &e) {
        EXPECT_TRUE(e.message().contains(u"file is not a database")) << e.message().toStdString();
        EXPECT_TRUE(e.message().contains(folder.storePath())) << e.message().toStdString();
        EXPECT_EQ(storeOpenErrorText(e), QStringLiteral("Exception raised with message:\r\r") + e.message());
    }
    EXPECT_EQ(fileBytes(folder.storePath()), junk);
}

TEST(StoreFaults, LockBeyondTheBusyTimeoutFailsTheStatementAndLosesNothing)
{
    DataFolder folder;
    auto db = folder.open(shortBusyTimeout());
    db->DbAddUrl(QStringLiteral("http://kept/"));
    auto other = folder.raw();
    other->execute(u"BEGIN EXCLUSIVE;");
    try {
        db->DbAddUrl(QStringLiteral("http://blocked/"));
        FAIL() << "added while locked";
    } catch (const StoreError &e) {
        EXPECT_EQ(storeErrorText(e), u"Exception raised with message: database is locked");
    }
    EXPECT_EQ(urlsOf(*db), QStringList{QStringLiteral("http://kept/")}) << "readers go on under WAL";
    other->execute(u"COMMIT;");
    db->DbAddUrl(QStringLiteral("http://later/"));
    EXPECT_EQ(urlsOf(*db), (QStringList{QStringLiteral("http://kept/"), QStringLiteral("http://later/")}));
}

TEST(StoreFaults, OlderStoreLockedAtOpenIsReportedAsFailedOpen)
{
    DataFolder folder;
    auto other = folder.raw(); // rollback journal: an exclusive lock blocks readers too
    other->execute(u"CREATE TABLE WEBSITES (ID INTEGER PRIMARY KEY, URL TEXT, CONTENT TEXT, STATUS TEXT, "
                   u"LASTCHANGE DATETIME);");
    other->execute(u"BEGIN EXCLUSIVE;");
    other->execute(u"insert into WEBSITES (URL) values ('http://pending/');");
    EXPECT_THROW(folder.open(shortBusyTimeout()), StoreOpenError);
    other->execute(u"COMMIT;");
    EXPECT_EQ(urlsOf(*folder.open()), QStringList{QStringLiteral("http://pending/")});
}

TEST(StoreFaults, ReadOnlyFolderWithoutStoreFailsToOpenAndCreatesNothing)
{
    DataFolder folder;
    ASSERT_EQ(chmod(QFile::encodeName(folder.path()).constData(), 0555), 0);
    const std::string result = inChild(
        [&] {
            try {
                folder.open({.templatePath = QStringLiteral(SENTREL_TEMPLATE_DB)});
                return std::string("opened");
            } catch (const StoreOpenError &e) {
                return "open failed: " + e.message().toStdString();
            }
        },
        true);
    chmod(QFile::encodeName(folder.path()).constData(), 0700);
    EXPECT_EQ(result, "open failed: unable to open database file (" + folder.storePath().toStdString() +
                          ": the folder cannot be written)");
    EXPECT_TRUE(QDir(folder.path()).isEmpty());
}

// In a child without root's rights: opens the store, lists it and adds a URL;
// says how far it got ("rows N", ", added", " error: message").
std::string listAndAddAsUser(DataFolder &folder)
{
    return inChild(
        [&] {
            std::string what;
            try {
                auto db = folder.open();
                what = "rows " + std::to_string(db->DbLoadWebsites().size());
                db->DbAddUrl(QStringLiteral("http://new/"));
                what += ", added";
            } catch (const StoreError &e) {
                what += " error: " + e.message().toStdString();
            }
            return what;
        },
        true);
}

TEST(StoreFaults, ReadOnlyFolderWithStoreKeepsEveryRow)
{
    DataFolder folder;
    folder.open()->DbAddUrl(QStringLiteral("http://kept/"));
    const QByteArray before = fileBytes(folder.storePath());
    ASSERT_EQ(chmod(QFile::encodeName(folder.path()).constData(), 0555), 0);
    const std::string result = listAndAddAsUser(folder);
    chmod(QFile::encodeName(folder.path()).constData(), 0700);
    EXPECT_NE(result.find(" error: "), std::string::npos) << result;
    EXPECT_NE(result.find("the folder cannot be written"), std::string::npos) << result;
    EXPECT_EQ(result.find("added"), std::string::npos) << result;
    EXPECT_EQ(fileBytes(folder.storePath()), before);
    EXPECT_EQ(urlsOf(*folder.open()), QStringList{QStringLiteral("http://kept/")});
}

TEST(StoreFaults, ReadOnlyStoreFileListsButRefusesChanges)
{
    DataFolder folder;
    folder.open()->DbAddUrl(QStringLiteral("http://kept/"));
    ASSERT_EQ(chmod(QFile::encodeName(folder.storePath()).constData(), 0444), 0);
    ASSERT_EQ(chmod(QFile::encodeName(folder.path()).constData(), 0777), 0);
    const std::string result = listAndAddAsUser(folder);
    chmod(QFile::encodeName(folder.path()).constData(), 0700);
    EXPECT_EQ(result, "rows 1 error: attempt to write a readonly database");
    EXPECT_EQ(urlsOf(*folder.open()), QStringList{QStringLiteral("http://kept/")});
}

TEST(StoreSharing, TwoProgramsUseOneStoreAtOnce)
{
    DataFolder folder;
    auto desktop = folder.open();
    auto cli = folder.open();
    desktop->DbAddUrl(QStringLiteral("http://a/"));
    cli->DbAddUrl(QStringLiteral("http://b/"));
    cli->DbSaveWebsite(QStringLiteral("http://a/"), QStringLiteral("text"), QStringLiteral("OK"));
    EXPECT_EQ(urlsOf(*desktop), (QStringList{QStringLiteral("http://a/"), QStringLiteral("http://b/")}));
    EXPECT_EQ(desktop->lookupRow(QStringLiteral("http://a/"))->text(u"CONTENT"), u"text");
    desktop->deleteUrl(QStringLiteral("http://b/"));
    EXPECT_FALSE(cli->lookupRow(QStringLiteral("http://b/")));
}

TEST(StoreDurability, AcknowledgedChangesSurviveACrash)
{
    DataFolder folder;
    const std::string result = inChild([&] {
        auto db = folder.open();
        db->DbAddUrl(QStringLiteral("http://single/"));
        db->DbSaveWebsite(QStringLiteral("http://single/"), QStringLiteral("saved"), QStringLiteral("OK"));
        StoreBatch batch(*db);
        for (int i = 0; i < 50; ++i)
            db->DbAddUrl(QStringLiteral("http://batch/%1").arg(i));
        batch.commit();
        (void)db.release(); // leave without closing anything, as a crash would
        return std::string("done");
    });
    ASSERT_EQ(result, "done");
    auto db = folder.open();
    EXPECT_EQ(db->DbLoadWebsites().size(), 51u);
    EXPECT_EQ(db->lookupRow(QStringLiteral("http://single/"))->text(u"CONTENT"), u"saved");
}

TEST(StoreBatch, FailedStatementUndoesNothingAndTheEndCommits)
{
    DataFolder folder;
    auto db = folder.open();
    // A statement that fails inside SQLite, as a full disk or a constraint
    // would make it fail.
    folder.raw()->execute(u"create trigger refuse before insert on WEBSITES when NEW.URL = 'http://bad/' "
                          u"begin select raise(ABORT, 'refused'); end;");
    {
        StoreBatch batch(*db);
        db->DbAddUrl(QStringLiteral("http://1/"));
        EXPECT_THROW(db->DbAddUrl(QStringLiteral("http://bad/")), StoreError);
        {
            StoreBatch nested(*db);
            db->DbAddUrl(QStringLiteral("http://2/"));
            nested.commit();
            EXPECT_TRUE(db->inBatch()) << "only the outermost batch commits";
        }
        EXPECT_FALSE(folder.raw()->prepare(u"select * from WEBSITES;").step())
            << "not visible before the commit";
    }
    EXPECT_FALSE(db->inBatch());
    EXPECT_EQ(urlsOf(*folder.open()),
              (QStringList{QStringLiteral("http://1/"), QStringLiteral("http://2/")}));
}

} // namespace
