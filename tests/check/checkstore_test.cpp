#include "check/checkstore.h"
#include "check/enginetesting.h"
#include "storage/storesqlite.h"
#include "storage/websitedb.h"
#include "support/qtext.h"
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

using namespace sentrel;
using namespace std::chrono_literals;

namespace {

class StoreForChecks : public testing::Test {
protected:
    StoreForChecks()
    {
        for (const char *url : {"http://a/", "http://b/", "http://c/"})
            db->DbAddUrl(QString::fromLatin1(url));
    }

    // What another program reading websites.db sees.
    QString committedStatus(const QString &url) const
    {
        SqliteConnection other(folder() + QStringLiteral("websites.db"));
        return other.queryText(QStringLiteral("SELECT STATUS FROM WEBSITES WHERE URL = '%1';").arg(url));
    }
    QString folder() const { return dir.path() + u'/'; }

    QTemporaryDir dir;
    std::unique_ptr<WebsiteDb> db = std::make_unique<WebsiteDb>(dir.path() + u'/', StoreSettings{});
};

TEST_F(StoreForChecks, ALookupReadsTheStoredTextStatusAndOptions)
{
    SqliteConnection(folder() + QStringLiteral("websites.db"))
        .execute(QStringLiteral(
            "UPDATE WEBSITES SET CONTENT = 'text', STATUS = 'OK', STRIP = 'NO', LINESTART = '1', "
            "LINESTOP = '2', KEYWORD = 'k', XPATH = '//p', REGEX = 'r' WHERE URL = 'http://a/';"));
    WebsiteCheckStore store(*db);
    const std::optional<StoredCheck> row = store.lookup(QStringLiteral("http://a/"));
    ASSERT_TRUE(row);
    EXPECT_EQ(row->content, u"text");
    EXPECT_EQ(row->status, u"OK");
    CheckOptions expected;
    expected.strip = false;
    expected.lineRange = true;
    expected.lineStart = 1;
    expected.lineStop = 2;
    expected.keyword = QStringLiteral("k");
    expected.xpath = QStringLiteral("//p");
    expected.regex = QStringLiteral("r");
    EXPECT_EQ(row->options, expected);
    EXPECT_EQ(row->rowId, 1);
    EXPECT_EQ(store.lookup(QStringLiteral("http://c/"))->rowId, 3);
    EXPECT_FALSE(store.lookup(QStringLiteral("http://unknown/")));
}

TEST_F(StoreForChecks, ANewlyAddedUrlReadsAsEmptyEverywhere)
{
    WebsiteCheckStore store(*db);
    const std::optional<StoredCheck> row = store.lookup(QStringLiteral("http://a/"));
    ASSERT_TRUE(row);
    EXPECT_EQ(row->status, u"");
    EXPECT_EQ(row->options, CheckOptions{});
}

TEST_F(StoreForChecks, UngroupedSavesAreDurableAtOnce)
{
    WebsiteCheckStore store(*db);
    EXPECT_TRUE(
        store.save(QStringLiteral("http://a/"), std::nullopt, QStringLiteral("t"), QStringLiteral("OK")));
    EXPECT_EQ(committedStatus(QStringLiteral("http://a/")), u"OK");
    EXPECT_FALSE(
        store.save(QStringLiteral("http://new/"), std::nullopt, QStringLiteral("t"), QStringLiteral("OK")));
    EXPECT_FALSE(store.lookup(QStringLiteral("http://new/"))) << "a save never inserts a row";
}

TEST_F(StoreForChecks, GroupedSavesCommitTogetherWhenTheGroupIsFull)
{
    WebsiteCheckStore store(*db, SaveGrouping{3, 1h});
    store.save(QStringLiteral("http://a/"), std::nullopt, QStringLiteral("t"), QStringLiteral("OK"));
    store.save(QStringLiteral("http://b/"), std::nullopt, QStringLiteral("t"), QStringLiteral("OK"));
    EXPECT_EQ(committedStatus(QStringLiteral("http://a/")), u"");
    EXPECT_EQ(store.lookup(QStringLiteral("http://b/"))->status, u"OK") << "the run itself sees its saves";
    store.save(QStringLiteral("http://c/"), std::nullopt, QStringLiteral("t"), QStringLiteral("Changed!"));
    EXPECT_EQ(committedStatus(QStringLiteral("http://a/")), u"OK");
    EXPECT_EQ(committedStatus(QStringLiteral("http://c/")), u"Changed!");
}

TEST_F(StoreForChecks, AGroupOlderThanItsAgeIsCommittedAtTheNextLookup)
{
    WebsiteCheckStore store(*db, SaveGrouping{100, 0ms});
    store.save(QStringLiteral("http://a/"), std::nullopt, QStringLiteral("t"), QStringLiteral("OK"));
    store.lookup(QStringLiteral("http://a/"));
    EXPECT_EQ(committedStatus(QStringLiteral("http://a/")), u"OK");
    EXPECT_EQ(store.pendingSaves(), 0);
}

TEST_F(StoreForChecks, CommitAndTheEndOfTheStoreMakePendingSavesDurable)
{
    {
        WebsiteCheckStore store(*db, SaveGrouping{100, 1h});
        store.save(QStringLiteral("http://a/"), std::nullopt, QStringLiteral("t"), QStringLiteral("OK"));
        store.commit();
        EXPECT_EQ(committedStatus(QStringLiteral("http://a/")), u"OK");
        store.save(QStringLiteral("http://b/"), std::nullopt, QStringLiteral("t"), QStringLiteral("OK"));
    }
    EXPECT_EQ(committedStatus(QStringLiteral("http://b/")), u"OK");
}

TEST_F(StoreForChecks, SavesInsideSomeoneElsesBatchAreLeftToIt)
{
    StoreBatch batch(*db);
    WebsiteCheckStore store(*db, SaveGrouping{5, 0ms});
    store.save(QStringLiteral("http://a/"), std::nullopt, QStringLiteral("t"), QStringLiteral("OK"));
    EXPECT_EQ(store.pendingSaves(), 0);
    EXPECT_TRUE(db->inBatch());
    batch.commit();
    EXPECT_EQ(committedStatus(QStringLiteral("http://a/")), u"OK");
}

// The engine on the real store, while another program changes the row
// during the download: its save finds no row, and the check ends as one of
// a row deleted here would.
TEST(CheckOfAChangedRow, WhenAnotherProgramRemovedTheRowNothingIsSavedOrAnnounced)
{
    using namespace sentrel::enginetest;
    const QString url = QStringLiteral("http://a/");
    const struct {
        const char *name;
        const char16_t *stored;    // the row as the check reads it
        const char16_t *meanwhile; // what another program does during the download
        QStringList contentsAfter; // CONTENT of every row, in store order
        const char16_t *status;    // of the list row
        int logLines;
    } cases[] = {
        {"nothing happens: the change is saved and announced",
         u"CONTENT='old', STATUS='OK'",
         u"",
         {QStringLiteral("new"), {}, {}},
         u"Changed!",
         1},
        {"deleted before a change",
         u"CONTENT='old', STATUS='OK'",
         u"delete from WEBSITES where ID=1;",
         {{}, {}},
         u"",
         0},
        {"deleted before a first check",
         u"CONTENT=NULL",
         u"delete from WEBSITES where ID=1;",
         {{}, {}},
         u"",
         0},
        {"renamed before a change",
         u"CONTENT='old', STATUS='OK'",
         u"update WEBSITES set URL='http://renamed/', CONTENT=NULL, STATUS=NULL where ID=1;",
         {{}, {}, {}},
         u"",
         0},
        {"deleted and added again",
         u"CONTENT='old', STATUS='OK'",
         u"delete from WEBSITES where ID=1; insert into WEBSITES (URL) values ('http://a/');",
         {{}, {}, {}},
         u"",
         0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir caseDir;
        WebsiteDb caseDb(caseDir.path() + u'/', StoreSettings{});
        for (const char *u : {"http://a/", "http://b/", "http://c/"})
            caseDb.DbAddUrl(QString::fromLatin1(u));
        SqliteConnection(caseDb.path())
            .execute(QStringLiteral("update WEBSITES set %1 where ID=1;").arg(QString::fromUtf16(c.stored)));
        WebsiteCheckStore store(caseDb);
        TestList rows({url});
        RecordingStoreErrors storeErrors;
        FakeDisplay display;
        FakePreferences preferences;
        CountingPump pump;
        ScriptedLoader loader;
        loader.pages.insert(url, QStringLiteral("new"));
        loader.duringLoad = [&] {
            SqliteConnection other(caseDir.filePath(QStringLiteral("websites.db")));
            for (const QString &statement : QString::fromUtf16(c.meanwhile).split(u';', Qt::SkipEmptyParts))
                other.execute(statement);
        };
        FixedClock clock;
        QStringList changed;
        OutcomePainter painter(rows.model, display);
        CheckEngine engine(
            CheckServices{rows.model, store, storeErrors, painter, preferences, pump, loader, clock});
        if (engine.check(rows.id(0)).changed)
            changed.append(url);

        QStringList contents;
        SqliteConnection other(caseDir.filePath(QStringLiteral("websites.db")));
        for (SqliteStatement all = other.prepare(u"select CONTENT from WEBSITES order by ID;"); all.step();)
            contents.append(all.text(0));
        EXPECT_EQ(contents, c.contentsAfter);
        EXPECT_EQ(rows.row(0).status, QString::fromUtf16(c.status));
        EXPECT_EQ(rows.row(0).lastChange.isEmpty(), c.logLines == 0);
        EXPECT_EQ(display.log.size(), c.logLines);
        EXPECT_EQ(changed.size(), c.logLines);
        EXPECT_EQ(display.statusText, u"");
        EXPECT_TRUE(storeErrors.texts.isEmpty());
    }
}

} // namespace
