// sentrel-cli check --all killed (SIGKILL) again and again while it saves
// pages that change on every request: whatever the kill interrupted, each
// row's newest snapshot is the row's stored text, and a row without a
// stored text has no snapshot. The kills come at points the test waits for
// (a reply held back, a number of rows printed as committed), never after
// a guessed time.
#include "storage/historyschema.h"
#include "storage/storesqlite.h"
#include "storage/websitedb.h"
#include "support/loopbackserver.h"
#include <QProcess>
#include <QTemporaryDir>
#include <condition_variable>
#include <gtest/gtest.h>
#include <iostream>
#include <limits>
#include <mutex>

using namespace sentrel;
using sentrel::test::LoopbackServer;
using sentrel::test::ReceivedRequest;
using sentrel::test::Reply;

namespace {

// More than one group of saves (a run commits every 100), so that a run
// can be killed with a group committed and the next one pending.
constexpr int kPages = 120;
constexpr int kEveryReply = std::numeric_limits<int>::max();

class KilledChecks : public ::testing::Test {
protected:
    void SetUp() override
    {
        server_.onOther([this](const ReceivedRequest &request) {
            std::unique_lock lock(mutex_);
            const int served = ++requests_;
            ++heldBack_;
            changed_.notify_all();
            changed_.wait(lock, [&] { return served <= allowedReplies_; });
            --heldBack_;
            changed_.notify_all();
            // A page of three lines, the middle one new on every request.
            const std::string body = "<html><body><p>heading of " + request.target + "</p><p>request " +
                                     std::to_string(served) + "</p><p>footer</p></body></html>";
            return Reply::ok(body);
        });
        QStringList add{QStringLiteral("add")};
        for (int i = 0; i < kPages; ++i)
            add.append(server_.url("/page" + std::to_string(i)));
        QProcess adding;
        adding.start(QStringLiteral(SENTREL_CLI_PATH),
                     QStringList{QStringLiteral("--data"), dir_.path()} + add);
        ASSERT_TRUE(adding.waitForFinished(120000));
        ASSERT_EQ(adding.exitCode(), 0) << adding.readAllStandardError().toStdString();
    }

    // The held replies go before the members they use do.
    void TearDown() override
    {
        allowReplies(kEveryReply);
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return heldBack_ == 0; });
    }

    // Replies past the next `count` wait until allowed.
    void allowReplies(int count)
    {
        std::lock_guard lock(mutex_);
        allowedReplies_ = count == kEveryReply ? kEveryReply : requests_ + count;
        changed_.notify_all();
    }

    int requestsSoFar()
    {
        std::lock_guard lock(mutex_);
        return requests_;
    }

    // Waits until the server has been asked for `count` pages in all.
    bool waitForRequests(int count)
    {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, std::chrono::seconds(60), [&] { return requests_ >= count; });
    }

    bool waitForAHeldReply()
    {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, std::chrono::seconds(60),
                                 [this] { return heldBack_ > 0 && requests_ > allowedReplies_; });
    }

    std::unique_ptr<QProcess> startCheck()
    {
        auto run = std::make_unique<QProcess>();
        run->start(QStringLiteral(SENTREL_CLI_PATH),
                   {QStringLiteral("--data"), dir_.path(), QStringLiteral("check"), QStringLiteral("--all")});
        EXPECT_TRUE(run->waitForStarted());
        return run;
    }

    // Reads the run's output until it has printed `rows` rows (each printed
    // once its save is committed) or ended; returns the rows printed.
    static int waitForPrintedRows(QProcess &run, int rows)
    {
        int printed = 0;
        for (int second = 0; second < 60; ++second) {
            printed += int(run.readAllStandardOutput().count('\n'));
            if (printed >= rows || run.state() != QProcess::Running)
                break;
            run.waitForReadyRead(1000);
        }
        return printed;
    }

    // One row of the store: its newest snapshot is its text, or it has no
    // text and no snapshot at all (also none the URL's history would hide).
    static void expectRowMatchesItsNewestSnapshot(WebsiteDb &db, SqliteConnection &raw, const QString &url)
    {
        SCOPED_TRACE(url.toStdString());
        const std::optional<StoreRow> row = db.lookupRow(url);
        ASSERT_TRUE(row);
        const std::vector<SnapshotRecord> history = db.history(url);
        if (row->isNull(u"CONTENT")) {
            SqliteStatement snapshots = raw.prepare(u"select count(*) from HISTORY where WEBSITE=?;");
            snapshots.bind(1, row->text(u"ID"));
            ASSERT_TRUE(snapshots.step());
            EXPECT_EQ(snapshots.integer(0), 0) << "a snapshot of a save that was undone";
            EXPECT_TRUE(history.empty());
            return;
        }
        ASSERT_FALSE(history.empty()) << "a stored text without its snapshot";
        EXPECT_EQ(history.front().kind, historyschema::SnapshotKind);
        EXPECT_EQ(db.snapshotText(history.front().id), row->text(u"CONTENT"));
        EXPECT_EQ(history.front().status, row->text(u"STATUS"));
        // Every older snapshot still unpacks through its chain, and no two
        // in a row are the same text (each save was a change).
        for (size_t i = 1; i < history.size(); ++i)
            EXPECT_NE(db.snapshotText(history[i].id), db.snapshotText(history[i - 1].id));
    }

    // The store as the desktop program then opens it, row by row. Returns
    // the rows holding a stored text.
    int expectEveryRowMatchesItsNewestSnapshot()
    {
        {
            SqliteConnection raw(dir_.filePath(QStringLiteral("websites.db")));
            EXPECT_EQ(raw.queryText(u"PRAGMA integrity_check;"), u"ok");
        }
        WebsiteDb db(dir_.path(), StoreSettings{});
        SqliteConnection raw(db.path());
        int withText = 0;
        for (const ListedWebsite &listed : db.DbLoadWebsites()) {
            expectRowMatchesItsNewestSnapshot(db, raw, listed.url);
            withText += !db.lookupRow(listed.url)->isNull(u"CONTENT");
        }
        return withText;
    }

    LoopbackServer server_;
    QTemporaryDir dir_;
    std::mutex mutex_;
    std::condition_variable changed_;
    int allowedReplies_ = kEveryReply;
    int heldBack_ = 0;
    int requests_ = 0;
};

TEST_F(KilledChecks, EveryRowKeepsItsNewestSnapshotWhereverAKillComes)
{
    const struct {
        const char *name;
        int replies;     // replies the run gets before the next one is held back
        int askedPages;  // pages it has asked for before the kill (0: any)
        int printedRows; // rows it has printed as committed before the kill
    } kills[] = {
        {"the first run, its first group committed and the next pending", 110, 0, 100},
        {"a run held before its first group is full", 30, 0, 0},
        // The run asks for pages ahead of its saves: around these requests
        // it saves its 100th page and commits the first group.
        {"a run the moment it asks for its 100th page", kEveryReply, 100, 0},
        {"a run the moment it asks for its 104th page", kEveryReply, 104, 0},
        {"a run the moment it asks for its 108th page", kEveryReply, 108, 0},
        {"a run held at its last page", kPages - 1, 0, 100},
        {"a run the moment it asks for its 112th page", kEveryReply, 112, 0},
        {"a run right after its first printed rows", kEveryReply, 0, 1},
        {"a run deep in its second group", kEveryReply, 0, 110},
    };
    int killedMidRun = 0;
    std::vector<QString> snapshotsAfter;
    for (const auto &kill : kills) {
        SCOPED_TRACE(kill.name);
        const int askedBefore = requestsSoFar();
        allowReplies(kill.replies);
        const std::unique_ptr<QProcess> run = startCheck();
        if (kill.replies != kEveryReply) {
            ASSERT_TRUE(waitForAHeldReply()) << "the run never asked for the held page";
        }
        ASSERT_TRUE(waitForRequests(askedBefore + kill.askedPages));
        EXPECT_GE(waitForPrintedRows(*run, kill.printedRows), kill.printedRows);
        killedMidRun += run->state() == QProcess::Running;
        run->kill();
        run->waitForFinished();
        allowReplies(kEveryReply);
        const int withText = expectEveryRowMatchesItsNewestSnapshot();
        snapshotsAfter.push_back(SqliteConnection(dir_.filePath(QStringLiteral("websites.db")))
                                     .queryText(u"select count(*) from HISTORY;"));
        if (&kill == &kills[0]) {
            // The held pages were never saved: rows with no text, and so
            // with no snapshot, were part of what was checked.
            EXPECT_GE(withText, 100);
            EXPECT_LE(withText, 110);
        }
    }
    EXPECT_GE(killedMidRun, 3) << "the runs held back were all killed while running";
    std::cout << "[ kill trials ] " << std::size(kills) << " kills, " << killedMidRun
              << " while running; snapshots in the store after each:";
    for (const QString &count : snapshotsAfter)
        std::cout << ' ' << count.toStdString();
    std::cout << '\n';
    // A run that completes on what the kills left gives every row a text.
    const std::unique_ptr<QProcess> run = startCheck();
    ASSERT_TRUE(run->waitForFinished(120000));
    EXPECT_EQ(run->exitCode(), 0) << run->readAllStandardError().toStdString();
    EXPECT_EQ(expectEveryRowMatchesItsNewestSnapshot(), kPages);
}

} // namespace
