// The history as the program keeps it through WebsiteDb: every save, delete
// and rename of a row takes the row's HISTORY rows along in the same
// transaction, and a URL never sees history that another URL left behind.
#include "storage/historyschema.h"
#include "storage/websitedb.h"
#include "storetestsupport.h"
#include "support/qtext.h"
#include <functional>
#include <gtest/gtest.h>

using namespace sentrel;
using namespace sentrel::testing;

namespace {

QString counted(const std::optional<int> &lines)
{
    return lines ? QString::number(*lines) : QStringLiteral("-");
}

// The URL's history newest first, one entry per row: "reset", or the
// snapshot's status, its line counts (added/removed, "-" when unknown) and
// its text as read back.
QStringList historyOf(WebsiteDb &db, const QString &url)
{
    QStringList entries;
    for (const SnapshotRecord &r : db.history(url)) {
        if (r.kind == historyschema::ResetMarkerKind)
            entries << QStringLiteral("reset");
        else
            entries << QStringLiteral("%1 %2/%3 %4")
                           .arg(r.status, counted(r.added), counted(r.removed), db.snapshotText(r.id));
    }
    return entries;
}

// The rule every save keeps: a row with a stored text has that text and its
// status as its newest snapshot; a row without one has no snapshot newer
// than its last reset.
void expectNewestSnapshotIsTheRow(WebsiteDb &db, const QString &url)
{
    SCOPED_TRACE(url.toStdString());
    const std::optional<StoreRow> row = db.lookupRow(url);
    const std::vector<SnapshotRecord> history = db.history(url);
    if (!row || row->isNull(u"CONTENT")) {
        EXPECT_TRUE(history.empty() || history.front().kind == historyschema::ResetMarkerKind);
        return;
    }
    ASSERT_FALSE(history.empty());
    ASSERT_EQ(history.front().kind, historyschema::SnapshotKind);
    EXPECT_EQ(db.snapshotText(history.front().id), row->text(u"CONTENT"));
    EXPECT_EQ(history.front().status, row->text(u"STATUS"));
}

int historyRows(const DataFolder &folder, const QString &where = QStringLiteral("1"))
{
    return folder.raw()
        ->queryText(QStringLiteral("select count(*) from HISTORY where %1;").arg(where))
        .toInt();
}

// One store taken through the operations in turn; after each one the
// history of every URL named, the HISTORY table's row count as plain SQL
// counts it, and the newest snapshot of every row.
TEST(WebsiteHistory, EachOperationKeepsTheHistoryInStepWithItsRow)
{
    const QString a = u16(u"http://a/"), b = u16(u"http://b/"), renamed = u16(u"http://renamed/");
    const QString first = u16(u"one\ntwo\n"), second = u16(u"one\nTWO\nthree\n");
    const QString firstA = u16(u"OK -/- ") + first;
    const QString secondA = u16(u"Changed! 2/1 ") + second;
    const QString onlyB = u16(u"OK -/- b\n");
    const struct {
        const char *name;
        std::function<void(WebsiteDb &)> operation;
        std::vector<std::pair<QString, QStringList>> histories;
        int rowsInTable;
    } steps[] = {
        {"the first save",
         [&](WebsiteDb &db) { EXPECT_TRUE(db.DbSaveWebsite(a, first, u16(u"OK"))); },
         {{a, {firstA}}, {b, {}}},
         1},
        {"a change, counted against the text before",
         [&](WebsiteDb &db) { EXPECT_TRUE(db.DbSaveWebsite(a, second, u16(u"Changed!"))); },
         {{a, {secondA, firstA}}},
         2},
        {"another URL's first save",
         [&](WebsiteDb &db) { EXPECT_TRUE(db.DbSaveWebsite(b, u16(u"b\n"), u16(u"OK"))); },
         {{a, {secondA, firstA}}, {b, {onlyB}}},
         3},
        {"a save of a URL that is gone",
         [&](WebsiteDb &db) { EXPECT_FALSE(db.DbSaveWebsite(u16(u"http://gone/"), first, u16(u"OK"))); },
         {{u16(u"http://gone/"), {}}},
         3},
        {"a save by the ID of a row that now has another URL",
         [&](WebsiteDb &db) { EXPECT_FALSE(db.DbSaveWebsite(a, first, u16(u"OK"), db.lookup(b)->rowId)); },
         {{a, {secondA, firstA}}, {b, {onlyB}}},
         3},
        {"a rename takes the snapshots along and marks the reset",
         [&](WebsiteDb &db) { EXPECT_EQ(db.editUrl(a, renamed, WebsiteOptions{}), 1); },
         {{a, {}}, {renamed, {u16(u"reset"), secondA, firstA}}, {b, {onlyB}}},
         4},
        {"the first save after the reset has nothing to count against",
         [&](WebsiteDb &db) { EXPECT_TRUE(db.DbSaveWebsite(renamed, u16(u"one\n"), u16(u"OK"))); },
         {{renamed, {u16(u"OK -/- one\n"), u16(u"reset"), secondA, firstA}}},
         5},
        {"a delete takes the history with the row",
         [&](WebsiteDb &db) { db.deleteUrl(renamed); },
         {{renamed, {}}, {b, {onlyB}}},
         1},
    };
    DataFolder folder;
    auto db = folder.open();
    db->DbAddUrl(a);
    db->DbAddUrl(b);
    for (const auto &step : steps) {
        SCOPED_TRACE(step.name);
        step.operation(*db);
        for (const auto &[url, history] : step.histories)
            EXPECT_EQ(historyOf(*db, url), history) << url.toStdString();
        EXPECT_EQ(historyRows(folder), step.rowsInTable);
        for (const QString &url : {a, b, renamed})
            expectNewestSnapshotIsTheRow(*db, url);
    }
    EXPECT_EQ(historyRows(folder, QStringLiteral("URL<>'%1'").arg(b)), 0)
        << "nothing left of the deleted URL";
}

// Another program that knows only WEBSITES deletes a URL, and SQLite gives
// its ID to the next URL added: that URL starts with no history, in this
// program's open store at once and in the file once a start purges it.
TEST(WebsiteHistory, AUrlGivenADeletedUrlsIdInheritsNothing)
{
    const QString gone = u16(u"http://gone/"), added = u16(u"http://added/");
    DataFolder folder;
    auto db = folder.open();
    db->DbAddUrl(gone);
    db->DbSaveWebsite(gone, u16(u"old text\n"), u16(u"OK"));
    db->DbSaveWebsite(gone, u16(u"old text\nmore\n"), u16(u"Changed!"));
    const QString goneId = folder.raw()->queryText(u"select ID from WEBSITES;");
    {
        auto other = folder.raw();
        SqliteStatement remove = other->prepare(u"delete from WEBSITES where URL=?;");
        remove.bind(1, gone);
        remove.run();
        SqliteStatement insert = other->prepare(u"insert into WEBSITES (URL) values (?);");
        insert.bind(1, added);
        insert.run();
    }
    ASSERT_EQ(folder.raw()->queryText(u"select ID from WEBSITES;"), goneId) << "the ID was given again";

    EXPECT_EQ(historyOf(*db, added), QStringList{});
    EXPECT_TRUE(db->DbSaveWebsite(added, u16(u"new text\n"), u16(u"OK")));
    EXPECT_EQ(historyOf(*db, added), QStringList{u16(u"OK -/- new text\n")})
        << "neither the old snapshots nor counts against them";
    EXPECT_EQ(historyRows(folder), 3) << "the deleted URL's rows wait for a start to purge them";

    db = folder.open();
    EXPECT_EQ(historyRows(folder, QStringLiteral("URL='%1'").arg(gone)), 0);
    EXPECT_EQ(historyOf(*db, added), QStringList{u16(u"OK -/- new text\n")});
}

// Inside a caller's batch the row and its snapshot go together: both are
// undone with the batch, and a snapshot that cannot be written undoes its
// row's save but not the other saves of the batch.
TEST(WebsiteHistory, ASaveInABatchKeepsItsRowAndSnapshotTogether)
{
    const QString kept = u16(u"http://kept/"), fresh = u16(u"http://fresh/"),
                  refused = u16(u"http://refused/");
    DataFolder folder;
    auto db = folder.open();
    db->DbAddUrl(kept);
    db->DbAddUrl(refused);
    db->DbSaveWebsite(kept, u16(u"old\n"), u16(u"OK"));
    {
        StoreBatch batch(*db);
        db->DbAddUrl(fresh);
        EXPECT_TRUE(db->DbSaveWebsite(fresh, u16(u"fresh\n"), u16(u"OK")));
        EXPECT_TRUE(db->DbSaveWebsite(kept, u16(u"new\n"), u16(u"Changed!")));
        db->rollbackBatch();
    }
    EXPECT_FALSE(db->lookupRow(fresh));
    EXPECT_EQ(db->lookupRow(kept)->text(u"CONTENT"), u"old\n");
    EXPECT_EQ(historyOf(*db, kept), QStringList{u16(u"OK -/- old\n")});
    EXPECT_EQ(historyRows(folder), 1) << "no snapshot of the rolled-back saves";

    // A snapshot refused inside SQLite, as a full disk would refuse it.
    folder.raw()->execute(u"create trigger refuse before insert on HISTORY when NEW.URL = 'http://refused/' "
                          u"begin select raise(ABORT, 'refused'); end;");
    {
        StoreBatch batch(*db);
        EXPECT_THROW(db->DbSaveWebsite(refused, u16(u"lost\n"), u16(u"OK")), StoreError);
        EXPECT_TRUE(db->DbSaveWebsite(kept, u16(u"new\n"), u16(u"Changed!")));
        batch.commit();
    }
    db = folder.open();
    EXPECT_TRUE(db->lookupRow(refused)->isNull(u"CONTENT")) << "the row's save went with its snapshot";
    EXPECT_EQ(historyOf(*db, refused), QStringList{});
    EXPECT_EQ(historyOf(*db, kept), (QStringList{u16(u"Changed! 1/1 new\n"), u16(u"OK -/- old\n")}));
    for (const QString &url : {kept, refused})
        expectNewestSnapshotIsTheRow(*db, url);
}

} // namespace
