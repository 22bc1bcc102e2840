// The HISTORY table on a real store file: appending and reading snapshots
// through their delta chains, retention, and the upkeep that follows the
// WEBSITES rows (rename, delete, orphans).
#include "storage/historyschema.h"
#include "storage/snapshothistory.h"
#include "storage/storeschema.h"
#include "storage/storesqlite.h"
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

using namespace sentrel;

namespace {

// Line `i` of version `version`: every version rewrites one line in ten of
// the previous one, so neighbours share most of their text.
QString versionText(int version, int lines = 200)
{
    QString text;
    for (int i = 0; i < lines; ++i) {
        const quint32 edited = i % 10 == version % 10 ? quint32(version) : 0;
        // Tokens that differ from line to line, so that a text packs like a
        // page and not like one line repeated.
        const quint32 token = (quint32(i) + 1) * 2654435761u ^ edited * 40503u;
        text += QStringLiteral("line %1 café %2 %3\r\n").arg(i).arg(token, 0, 36).arg(token * 69069u, 0, 36);
    }
    return text;
}

class HistoryStore : public testing::Test {
protected:
    HistoryStore() : db_(std::make_unique<SqliteConnection>(dir_.filePath(QStringLiteral("websites.db"))))
    {
        // Nothing here needs to survive a power cut; syncing every append
        // would only slow the tests down.
        db().execute(u"PRAGMA synchronous=OFF;");
        db().execute(QString::fromLatin1(storeschema::CreateTable));
        createHistoryTable(db());
    }

    SqliteConnection &db() { return *db_; }

    qint64 addWebsite(const QString &url)
    {
        SqliteStatement insert = db().prepare(storeschema::AddUrl);
        insert.bind(1, url);
        insert.run();
        return db().queryText(u"select max(ID) from WEBSITES;").toLongLong();
    }

    // Appends versions first..last of the page and returns their texts.
    QStringList appendVersions(qint64 website, const QString &url, int first, int last,
                               HistoryRetention retention = {}, HistoryPacking packing = {})
    {
        QStringList texts;
        for (int v = first; v <= last; ++v) {
            texts << versionText(v);
            appendSnapshot(db(), website, url, texts.last(), QStringLiteral("status %1").arg(v), retention,
                           std::nullopt, packing);
        }
        return texts;
    }

    // The texts of the website's snapshots, oldest first.
    QStringList readAll(qint64 website)
    {
        QStringList texts;
        for (const SnapshotRecord &record : listSnapshots(db(), website))
            if (record.kind == historyschema::SnapshotKind)
                texts.prepend(readSnapshot(db(), record.id));
        return texts;
    }

    int rowCount() { return db().queryText(u"select count(*) from HISTORY;").toInt(); }

    // How many blobs reading the snapshot unpacks.
    int chainLength(qint64 id)
    {
        int length = 1;
        for (;;) {
            SqliteStatement base = db().prepare(u"select BASE from HISTORY where ID=?1;");
            base.bindInteger(1, id);
            if (!base.step() || base.isNull(0))
                return length;
            id = base.integer(0);
            ++length;
        }
    }

    void execute(const char16_t *sql, qint64 id)
    {
        SqliteStatement statement = db().prepare(sql);
        statement.bindInteger(1, id);
        statement.run();
    }

private:
    QTemporaryDir dir_;
    std::unique_ptr<SqliteConnection> db_;
};

const QString Url = QStringLiteral("https://shop.example/prices");

TEST_F(HistoryStore, SnapshotsListNewestFirstAndReadBack)
{
    const qint64 site = addWebsite(Url);
    appendSnapshot(db(), site, Url, versionText(0), QStringLiteral("first"), {}, LineCounts{5, 7});
    // Re-packed as a delta by the next append, the row keeps what it recorded.
    db().execute(u"update HISTORY set TAKEN='2020-01-02 03:04:05';");
    const QStringList texts = appendVersions(site, Url, 1, 3);
    appendSnapshot(db(), site, Url, QString(), QStringLiteral("empty now"), {}, LineCounts{0, 200});

    const std::vector<SnapshotRecord> records = listSnapshots(db(), site);
    ASSERT_EQ(records.size(), 5u);
    EXPECT_EQ(records[0].status, QStringLiteral("empty now"));
    EXPECT_EQ(records[0].added, 0);
    EXPECT_EQ(records[0].removed, 200);
    EXPECT_EQ(records[0].taken.size(), 19) << records[0].taken.toStdString();
    EXPECT_EQ(records[3].status, QStringLiteral("status 1"));
    EXPECT_FALSE(records[3].added.has_value());
    EXPECT_EQ(records[4].status, QStringLiteral("first"));
    EXPECT_EQ(records[4].taken, QStringLiteral("2020-01-02 03:04:05"));
    EXPECT_EQ(records[4].added, 5);
    EXPECT_EQ(records[4].removed, 7);
    EXPECT_GT(records[0].id, records[1].id);
    EXPECT_EQ(readAll(site), QStringList{versionText(0)} + texts + QStringList{QString()});
}

TEST_F(HistoryStore, OnlyTheNewestIsStandaloneAndOlderOnesAreSmallDeltas)
{
    const qint64 site = addWebsite(Url);
    appendVersions(site, Url, 1, 3);
    SqliteStatement rows = db().prepare(u"select ID, BASE, length(DATA) from HISTORY order by ID;");
    std::vector<std::tuple<qint64, std::optional<qint64>, qint64>> layout;
    while (rows.step())
        layout.emplace_back(rows.integer(0), rows.isNull(1) ? std::nullopt : std::optional(rows.integer(1)),
                            rows.integer(2));
    ASSERT_EQ(layout.size(), 3u);
    EXPECT_EQ(std::get<1>(layout[0]), std::get<0>(layout[1]));
    EXPECT_EQ(std::get<1>(layout[1]), std::get<0>(layout[2]));
    EXPECT_FALSE(std::get<1>(layout[2]).has_value());
    EXPECT_LT(std::get<2>(layout[0]) * 3, std::get<2>(layout[2]));
}

struct ChainCase {
    const char *name;
    int versions;
    int standaloneEvery;
    int keep; // the retention's count limit
};

void PrintTo(const ChainCase &c, std::ostream *out)
{
    *out << c.name;
}

class HistoryChains : public HistoryStore, public testing::WithParamInterface<ChainCase> {};

// However the chains fall, no read unpacks more than standaloneEvery blobs
// and dropping the oldest snapshots leaves every other one readable.
TEST_P(HistoryChains, EverySnapshotStaysReadableWithinItsChainLimit)
{
    const ChainCase &c = GetParam();
    const qint64 site = addWebsite(Url);
    const QStringList texts = appendVersions(site, Url, 1, c.versions, HistoryRetention{c.keep, 0},
                                             HistoryPacking{c.standaloneEvery});

    const int kept = std::min(c.versions, c.keep);
    EXPECT_EQ(readAll(site), texts.mid(c.versions - kept));
    for (const SnapshotRecord &record : listSnapshots(db(), site))
        EXPECT_LE(chainLength(record.id), c.standaloneEvery) << "snapshot " << record.id;
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, HistoryChains,
    testing::Values(ChainCase{"AllKept", 20, 16, 200}, ChainCase{"EveryOneStandalone", 6, 1, 200},
                    ChainCase{"Pairs", 7, 2, 200}, ChainCase{"OldestDroppedMidChain", 40, 16, 23},
                    ChainCase{"OldestDroppedShortChains", 30, 4, 9}, ChainCase{"KeepOnlyTheNewest", 5, 16, 1},
                    ChainCase{"ChainsOfThirtyTwo", 70, 32, 50}),
    [](const auto &info) { return std::string(info.param.name); });

// Each append replaces the previous standalone text by a small delta. Done
// in place, that left every delta alone on a page of its own: one 16 KiB
// page per snapshot however small the deltas.
TEST(HistoryPages, DeltasShareTheStorePages)
{
    QTemporaryDir dir;
    SqliteConnection db(dir.filePath(QStringLiteral("websites.db")));
    db.queryText(QString::fromUtf8(storeschema::PageSize));
    db.execute(u"PRAGMA synchronous=OFF;");
    db.execute(QString::fromLatin1(storeschema::CreateTable));
    createHistoryTable(db);
    const auto usedPages = [&db] {
        return db.queryText(u"PRAGMA page_count;").toInt() - db.queryText(u"PRAGMA freelist_count;").toInt();
    };
    const int pagesBefore = usedPages();
    constexpr int Snapshots = 60;
    for (int v = 1; v <= Snapshots; ++v)
        appendSnapshot(db, 1, Url, versionText(v, 1000), QStringLiteral("OK"), {});
    EXPECT_LT(usedPages() - pagesBefore, Snapshots / 3);
}

TEST_F(HistoryStore, AgeLimitDropsEverythingUpToTheNewestExpiredRow)
{
    const qint64 site = addWebsite(Url);
    const QStringList texts = appendVersions(site, Url, 1, 4);
    const std::vector<SnapshotRecord> before = listSnapshots(db(), site); // newest first
    // The oldest row is recent (a clock set back) but the one after it has
    // expired: both go, or the first would keep a chain through a deleted row.
    execute(u"update HISTORY set TAKEN=DATETIME('now', '-40 days') where ID=?1;", before[2].id);
    execute(u"update HISTORY set TAKEN=DATETIME('now', '-2 days') where ID=?1;", before[3].id);

    appendSnapshot(db(), site, Url, versionText(5), QStringLiteral("OK"), HistoryRetention{200, 30});
    EXPECT_EQ(readAll(site), (QStringList{texts[2], texts[3], versionText(5)}));

    // Within the limit nothing more goes.
    appendSnapshot(db(), site, Url, versionText(6), QStringLiteral("OK"), HistoryRetention{200, 30});
    EXPECT_EQ(readAll(site).size(), 4);
}

TEST_F(HistoryStore, ResetMarkersListButDoNotCountAsSnapshots)
{
    const qint64 site = addWebsite(Url);
    appendVersions(site, Url, 1, 2);
    appendResetMarker(db(), site, Url);
    appendVersions(site, Url, 3, 3, HistoryRetention{2, 0});

    const std::vector<SnapshotRecord> records = listSnapshots(db(), site);
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[1].kind, historyschema::ResetMarkerKind);
    EXPECT_THROW(readSnapshot(db(), records[1].id), StoreError);
    EXPECT_EQ(readAll(site), (QStringList{versionText(2), versionText(3)}));

    // Once the snapshot before it goes, so does the marker.
    appendVersions(site, Url, 4, 4, HistoryRetention{2, 0});
    EXPECT_EQ(listSnapshots(db(), site).size(), 2u);
}

TEST_F(HistoryStore, RenameKeepsTheHistoryAndItsChains)
{
    const qint64 site = addWebsite(Url);
    const QStringList texts = appendVersions(site, Url, 1, 3);
    const QString renamed = QStringLiteral("https://shop.example/prices-new");
    renameHistory(db(), site, renamed);
    SqliteStatement update = db().prepare(u"update WEBSITES set URL=?1 where ID=?2;");
    update.bind(1, renamed);
    update.bindInteger(2, site);
    update.run();

    appendVersions(site, renamed, 4, 4);
    EXPECT_EQ(readAll(site), texts + QStringList{versionText(4)});
    EXPECT_EQ(chainLength(listSnapshots(db(), site).back().id), 4);
}

TEST_F(HistoryStore, DeleteRemovesOnlyThatWebsitesRows)
{
    const qint64 gone = addWebsite(Url);
    const QString otherUrl = QStringLiteral("https://news.example/");
    const qint64 kept = addWebsite(otherUrl);
    appendVersions(gone, Url, 1, 3);
    appendResetMarker(db(), gone, Url);
    const QStringList texts = appendVersions(kept, otherUrl, 1, 2);

    deleteHistory(db(), gone);
    EXPECT_TRUE(listSnapshots(db(), gone).empty());
    EXPECT_EQ(rowCount(), 2);
    EXPECT_EQ(readAll(kept), texts);
}

// Another program deletes the URL and SQLite gives its ID to the next URL
// added: the new URL starts without history and the old rows are purged.
TEST_F(HistoryStore, HistoryOfAReusedIdIsNotInheritedAndIsPurged)
{
    const QString otherUrl = QStringLiteral("https://news.example/");
    const qint64 kept = addWebsite(otherUrl);
    const qint64 site = addWebsite(Url);
    appendVersions(site, Url, 1, 3);
    const QStringList texts = appendVersions(kept, otherUrl, 1, 2);
    execute(u"delete from WEBSITES where ID=?1;", site);
    const QString newcomer = QStringLiteral("https://other.example/");
    ASSERT_EQ(addWebsite(newcomer), site);

    EXPECT_TRUE(listSnapshots(db(), site).empty());
    appendVersions(site, newcomer, 10, 10);
    EXPECT_EQ(readAll(site), QStringList{versionText(10)});

    purgeOrphanHistory(db());
    EXPECT_EQ(rowCount(), 3);
    EXPECT_EQ(readAll(kept), texts);
    EXPECT_EQ(readAll(site), QStringList{versionText(10)});
}

struct DamageCase {
    const char *name;
    const char16_t *damage; // ?1: the ID of the oldest snapshot
};

void PrintTo(const DamageCase &c, std::ostream *out)
{
    *out << c.name;
}

class DamagedHistory : public HistoryStore, public testing::WithParamInterface<DamageCase> {};

TEST_P(DamagedHistory, ReadingThroughTheDamageIsAStoreError)
{
    const qint64 site = addWebsite(Url);
    appendVersions(site, Url, 1, 3);
    const qint64 oldest = listSnapshots(db(), site).back().id;
    execute(GetParam().damage, oldest);
    EXPECT_THROW(readSnapshot(db(), oldest), StoreError);
}

INSTANTIATE_TEST_SUITE_P(
    Damage, DamagedHistory,
    testing::Values(DamageCase{"GarbledData",
                               u"update HISTORY set DATA=substr(DATA, 1, 12) || x'00ff00ff' where ID=?1;"},
                    DamageCase{"BaseMissing", u"delete from HISTORY where ID=?1+1;"},
                    DamageCase{"WrongBase", u"update HISTORY set BASE=?1+2 where ID=?1;"},
                    DamageCase{"BasePointsBack", u"update HISTORY set BASE=?1 where ID=?1;"},
                    DamageCase{"BaseIsAMarker", u"update HISTORY set KIND=1 where ID=?1+1;"},
                    DamageCase{"NoSuchRow", u"delete from HISTORY where ID=?1;"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(HistoryStore, AnAppendThatFailsLeavesTheHistoryAsItWas)
{
    // The newest blob cannot be re-packed: the new row inserted before that
    // must go again with it.
    const qint64 site = addWebsite(Url);
    appendVersions(site, Url, 1, 2);
    execute(u"update HISTORY set DATA=x'01ff' where ID=?1;", listSnapshots(db(), site).front().id);
    db().execute(u"BEGIN;");
    EXPECT_THROW(appendVersions(site, Url, 3, 3), StoreError);
    EXPECT_TRUE(db().inTransaction());
    EXPECT_EQ(rowCount(), 2);
    db().execute(u"COMMIT;");
    EXPECT_EQ(rowCount(), 2);
}

} // namespace
