#include "storage/groupedsaves.h"
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
    GroupedSaves store(*db);
    const std::optional<WebsiteRecord> row = store.lookup(QStringLiteral("http://a/"));
    ASSERT_TRUE(row);
    EXPECT_EQ(row->content.value_or(QString()), u"text");
    EXPECT_EQ(row->status.value_or(QString()), u"OK");
    WebsiteOptions expected;
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
    GroupedSaves store(*db);
    const std::optional<WebsiteRecord> row = store.lookup(QStringLiteral("http://a/"));
    ASSERT_TRUE(row);
    EXPECT_EQ(row->status.value_or(QString()), u"");
    EXPECT_EQ(row->options, WebsiteOptions{});
}

TEST_F(StoreForChecks, UngroupedSavesAreDurableAtOnce)
{
    GroupedSaves store(*db);
    EXPECT_TRUE(store.DbSaveWebsite(QStringLiteral("http://a/"), QStringLiteral("t"), QStringLiteral("OK")));
    EXPECT_EQ(committedStatus(QStringLiteral("http://a/")), u"OK");
    EXPECT_FALSE(
        store.DbSaveWebsite(QStringLiteral("http://new/"), QStringLiteral("t"), QStringLiteral("OK")));
    EXPECT_FALSE(store.lookup(QStringLiteral("http://new/"))) << "a save never inserts a row";
}

TEST_F(StoreForChecks, GroupedSavesCommitTogetherWhenTheGroupIsFull)
{
    GroupedSaves store(*db, SaveGrouping{3, 1h});
    store.DbSaveWebsite(QStringLiteral("http://a/"), QStringLiteral("t"), QStringLiteral("OK"));
    store.DbSaveWebsite(QStringLiteral("http://b/"), QStringLiteral("t"), QStringLiteral("OK"));
    EXPECT_EQ(committedStatus(QStringLiteral("http://a/")), u"");
    EXPECT_EQ(store.lookup(QStringLiteral("http://b/"))->status.value_or(QString()), u"OK")
        << "the run itself sees its saves";
    store.DbSaveWebsite(QStringLiteral("http://c/"), QStringLiteral("t"), QStringLiteral("Changed!"));
    EXPECT_EQ(committedStatus(QStringLiteral("http://a/")), u"OK");
    EXPECT_EQ(committedStatus(QStringLiteral("http://c/")), u"Changed!");
}

TEST_F(StoreForChecks, AGroupOlderThanItsAgeIsCommittedAtTheNextLookup)
{
    GroupedSaves store(*db, SaveGrouping{100, 0ms});
    store.DbSaveWebsite(QStringLiteral("http://a/"), QStringLiteral("t"), QStringLiteral("OK"));
    store.lookup(QStringLiteral("http://a/"));
    EXPECT_EQ(committedStatus(QStringLiteral("http://a/")), u"OK");
    EXPECT_EQ(store.pendingSaves(), 0);
}

TEST_F(StoreForChecks, CommitAndTheEndOfTheStoreMakePendingSavesDurable)
{
    {
        GroupedSaves store(*db, SaveGrouping{100, 1h});
        store.DbSaveWebsite(QStringLiteral("http://a/"), QStringLiteral("t"), QStringLiteral("OK"));
        store.commit();
        EXPECT_EQ(committedStatus(QStringLiteral("http://a/")), u"OK");
        store.DbSaveWebsite(QStringLiteral("http://b/"), QStringLiteral("t"), QStringLiteral("OK"));
    }
    EXPECT_EQ(committedStatus(QStringLiteral("http://b/")), u"OK");
}

TEST_F(StoreForChecks, SavesInsideSomeoneElsesBatchAreLeftToIt)
{
    StoreBatch batch(*db);
    GroupedSaves store(*db, SaveGrouping{5, 0ms});
    store.DbSaveWebsite(QStringLiteral("http://a/"), QStringLiteral("t"), QStringLiteral("OK"));
    EXPECT_EQ(store.pendingSaves(), 0);
    EXPECT_TRUE(db->inBatch());
    batch.commit();
    EXPECT_EQ(committedStatus(QStringLiteral("http://a/")), u"OK");
}

} // namespace
