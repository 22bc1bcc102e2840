#include "checking/checkstore.h"
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
    StoreForChecks() { db->DbAddUrl(QStringLiteral("http://a/")); }

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
    db->execute(QStringLiteral("UPDATE WEBSITES SET CONTENT = 'text', STATUS = 'OK', STRIP = 'NO', LINESTART = '1', "
                               "LINESTOP = '2', KEYWORD = 'k', XPATH = '//p', REGEX = 'r' WHERE URL = 'http://a/';"));
    WebsiteCheckStore store(*db);
    const std::optional<StoredCheck> row = store.lookup(QStringLiteral("http://a/"));
    ASSERT_TRUE(row);
    EXPECT_EQ(row->content, u"text");
    EXPECT_EQ(row->status, u"OK");
    const CheckOptions expected{QStringLiteral("NO"), QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("k"),
                                QStringLiteral("//p"), QStringLiteral("r")};
    EXPECT_EQ(row->options, expected);
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
    store.save(QStringLiteral("http://a/"), QStringLiteral("t"), QStringLiteral("OK"));
    EXPECT_EQ(committedStatus(QStringLiteral("http://a/")), u"OK");
    store.save(QStringLiteral("http://new/"), QStringLiteral("t"), QStringLiteral("OK"));
    EXPECT_EQ(committedStatus(QStringLiteral("http://new/")), u"OK") << "a missing row is inserted";
}

TEST_F(StoreForChecks, GroupedSavesCommitTogetherWhenTheGroupIsFull)
{
    WebsiteCheckStore store(*db, SaveGrouping{3, 1h});
    store.save(QStringLiteral("http://a/"), QStringLiteral("t"), QStringLiteral("OK"));
    store.save(QStringLiteral("http://b/"), QStringLiteral("t"), QStringLiteral("OK"));
    EXPECT_EQ(committedStatus(QStringLiteral("http://a/")), u"");
    EXPECT_EQ(store.lookup(QStringLiteral("http://b/"))->status, u"OK") << "the run itself sees its saves";
    store.save(QStringLiteral("http://c/"), QStringLiteral("t"), QStringLiteral("Changed!"));
    EXPECT_EQ(committedStatus(QStringLiteral("http://a/")), u"OK");
    EXPECT_EQ(committedStatus(QStringLiteral("http://c/")), u"Changed!");
}

TEST_F(StoreForChecks, AGroupOlderThanItsAgeIsCommittedAtTheNextLookup)
{
    WebsiteCheckStore store(*db, SaveGrouping{100, 0ms});
    store.save(QStringLiteral("http://a/"), QStringLiteral("t"), QStringLiteral("OK"));
    store.lookup(QStringLiteral("http://a/"));
    EXPECT_EQ(committedStatus(QStringLiteral("http://a/")), u"OK");
    EXPECT_EQ(store.pendingSaves(), 0);
}

TEST_F(StoreForChecks, CommitAndTheEndOfTheStoreMakePendingSavesDurable)
{
    {
        WebsiteCheckStore store(*db, SaveGrouping{100, 1h});
        store.save(QStringLiteral("http://a/"), QStringLiteral("t"), QStringLiteral("OK"));
        store.commit();
        EXPECT_EQ(committedStatus(QStringLiteral("http://a/")), u"OK");
        store.save(QStringLiteral("http://b/"), QStringLiteral("t"), QStringLiteral("OK"));
    }
    EXPECT_EQ(committedStatus(QStringLiteral("http://b/")), u"OK");
}

TEST_F(StoreForChecks, SavesInsideSomeoneElsesBatchAreLeftToIt)
{
    StoreBatch batch(*db);
    WebsiteCheckStore store(*db, SaveGrouping{5, 0ms});
    store.save(QStringLiteral("http://a/"), QStringLiteral("t"), QStringLiteral("OK"));
    EXPECT_EQ(store.pendingSaves(), 0);
    EXPECT_TRUE(db->inBatch());
    batch.commit();
    EXPECT_EQ(committedStatus(QStringLiteral("http://a/")), u"OK");
}

} // namespace
