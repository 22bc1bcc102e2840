// Several programs on one data folder, and a check run killed at random
// moments. Runs the real sentrel-cli executable in processes of its own
// against pages served on 127.0.0.1, with a third connection in this process
// playing the desktop program.
#include "storage/storesqlite.h"
#include "storage/websitedb.h"
#include "support/loopbackserver.h"
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <atomic>
#include <condition_variable>
#include <gtest/gtest.h>
#include <limits>
#include <map>
#include <mutex>
#include <set>
#include <thread>

using namespace sentrel;
using sentrel::test::LoopbackServer;
using sentrel::test::ReceivedRequest;
using sentrel::test::Reply;

namespace {

constexpr int kPages = 200;

struct Result {
    int code;
    QString out;
    QString err;
};

// sentrel-cli in a process of its own on the data folder `dir`.
std::unique_ptr<QProcess> startCli(const QString &dir, QStringList args)
{
    args.prepend(dir);
    args.prepend(QStringLiteral("--data"));
    auto process = std::make_unique<QProcess>();
    process->start(QStringLiteral(SENTREL_CLI_PATH), args);
    EXPECT_TRUE(process->waitForStarted());
    return process;
}

Result finishCli(QProcess &process)
{
    EXPECT_TRUE(process.waitForFinished(120000));
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

std::string pageText(const std::string &target, int request)
{
    return "text of " + target + " request " + std::to_string(request);
}

// A data folder with kPages URLs on a loopback server whose pages change on
// every request; remembers every text it served per URL.
class SharedStore : public ::testing::Test {
protected:
    void SetUp() override
    {
        server_.onOther([this](const ReceivedRequest &request) {
            std::unique_lock lock(mutex_);
            const std::string text = pageText(request.target, ++requests_);
            served_[server_.url(request.target)].insert(QString::fromStdString(text));
            // Past the number of replies allowed so far, a reply waits until
            // the test allows more.
            ++heldBack_;
            heldChanged_.notify_all();
            heldChanged_.wait(lock, [this] { return requests_ <= allowedReplies_; });
            --heldBack_;
            heldChanged_.notify_all();
            // A little latency, as from a real server: the runs overlap all along.
            const std::string body = "<html><body><p>" + text + "</p></body></html>";
            Reply reply;
            reply.pause(std::chrono::milliseconds(3));
            reply.send("HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" +
                       body);
            return reply;
        });
        QStringList args{QStringLiteral("add")};
        for (int i = 0; i < kPages; ++i)
            args.append(url(i));
        const auto [code, out, err] = cli(args);
        ASSERT_EQ(code, 0) << err.toStdString();
    }

    QString url(int page) const { return server_.url("/page" + std::to_string(page)); }

    QProcess *start(const QStringList &args)
    {
        processes_.push_back(startCli(dir_.path(), args));
        return processes_.back().get();
    }

    static Result finish(QProcess *process) { return finishCli(*process); }

    Result cli(const QStringList &args) { return finish(start(args)); }

    std::unique_ptr<WebsiteDb> desktop() const
    {
        return std::make_unique<WebsiteDb>(dir_.path(), StoreSettings{});
    }

    // Every URL once, and each stored text one the server sent for it (or,
    // for the URLs in `others`, one of those texts).
    void expectEveryRowFromARun(const std::map<QString, std::set<QString>> &others = {},
                                const std::map<QString, QString> &before = {})
    {
        SqliteConnection raw(dir_.filePath(QStringLiteral("websites.db")));
        SqliteStatement check = raw.prepare(u"PRAGMA integrity_check;");
        ASSERT_TRUE(check.step());
        EXPECT_EQ(check.text(0), u"ok");
        auto db = desktop();
        const std::vector<ListedWebsite> rows = db->DbLoadWebsites();
        std::set<QString> urls;
        for (const ListedWebsite &row : rows)
            urls.insert(row.url);
        EXPECT_EQ(rows.size(), size_t(kPages)) << "no row lost or doubled";
        EXPECT_EQ(urls.size(), size_t(kPages));
        std::lock_guard lock(mutex_);
        for (int i = 0; i < kPages; ++i) {
            const QString stored = db->lookupRow(url(i))->text(u"CONTENT");
            const auto other = others.find(url(i));
            const auto old = before.find(url(i));
            const bool fromRun = served_[url(i)].count(stored) > 0;
            const bool fromOther = other != others.end() && other->second.count(stored) > 0;
            const bool unchanged = old != before.end() && old->second == stored;
            EXPECT_TRUE(fromRun || fromOther || unchanged)
                << url(i).toStdString() << " holds \"" << stored.left(60).toStdString() << '"';
        }
    }

    std::map<QString, QString> storedTexts()
    {
        std::map<QString, QString> texts;
        auto db = desktop();
        for (int i = 0; i < kPages; ++i)
            texts[url(i)] = db->lookupRow(url(i))->text(u"CONTENT");
        return texts;
    }

    // Replies to the requests after the next `count` wait until allowAll().
    void allowOnly(int count)
    {
        std::lock_guard lock(mutex_);
        allowedReplies_ = requests_ + count;
        heldChanged_.notify_all();
    }
    void allowAll()
    {
        std::lock_guard lock(mutex_);
        allowedReplies_ = std::numeric_limits<int>::max();
        heldChanged_.notify_all();
    }
    // Waits until a reply is held back, or a generous time is up.
    bool waitForAHeldReply()
    {
        std::unique_lock lock(mutex_);
        return heldChanged_.wait_for(lock, std::chrono::seconds(60),
                                     [this] { return heldBack_ > 0 && requests_ > allowedReplies_; });
    }

    // The held replies go before the members they use do.
    ~SharedStore() override
    {
        allowAll();
        std::unique_lock lock(mutex_);
        heldChanged_.wait(lock, [this] { return heldBack_ == 0; });
    }

    LoopbackServer server_;
    QTemporaryDir dir_;
    std::mutex mutex_;
    std::condition_variable heldChanged_;
    int allowedReplies_ = std::numeric_limits<int>::max();
    int heldBack_ = 0;
    int requests_ = 0;
    std::map<QString, std::set<QString>> served_;
    std::vector<std::unique_ptr<QProcess>> processes_;
};

TEST_F(SharedStore, TwoCheckRunsAndTheDesktopProgramLoseNothingAndNeverSeeALock)
{
    std::atomic<bool> running{true};
    std::map<QString, std::set<QString>> desktopTexts;
    std::string desktopError;
    int desktopSaves = 0;
    // The desktop program: loads the list, previews rows and saves its own
    // checks of the first 20 URLs while both runs write.
    std::thread window([&] {
        try {
            auto db = desktop();
            for (int round = 0; running; ++round) {
                (void)db->DbLoadWebsites();
                const int page = round % 20;
                (void)db->lookupRow(url(page));
                const QString text = QStringLiteral("desktop check %1").arg(round);
                desktopTexts[url(page)].insert(text);
                db->DbSaveWebsite(url(page), text, QStringLiteral("OK"));
                ++desktopSaves;
            }
        } catch (const std::exception &e) {
            desktopError = e.what();
        }
    });
    QProcess *first = start({QStringLiteral("check"), QStringLiteral("--all")});
    QProcess *second = start({QStringLiteral("check"), QStringLiteral("--all")});
    const Result a = finish(first);
    const Result b = finish(second);
    running = false;
    window.join();

    EXPECT_EQ(a.code, 0) << a.err.toStdString();
    EXPECT_EQ(b.code, 0) << b.err.toStdString();
    EXPECT_FALSE(a.err.contains(u"locked") || b.err.contains(u"locked")) << (a.err + b.err).toStdString();
    EXPECT_EQ(desktopError, "");
    EXPECT_GT(desktopSaves, 0);
    EXPECT_EQ(a.out.count(u'\n'), kPages + 1) << "one line per URL and the summary";
    EXPECT_EQ(b.out.count(u'\n'), kPages + 1);
    expectEveryRowFromARun(desktopTexts);
}

TEST_F(SharedStore, CheckRunKilledAtRandomMomentsLeavesEveryRowOldOrNew)
{
    constexpr int kTries = 20;
    QElapsedTimer timer;
    timer.start();
    const Result complete = cli({QStringLiteral("check"), QStringLiteral("--all")});
    ASSERT_EQ(complete.code, 0) << complete.err.toStdString();
    // Kills spread over the whole length of a run.
    const int runMs = int(std::max<qint64>(timer.elapsed(), 50));
    expectEveryRowFromARun();

    QRandomGenerator random(424242);
    int changedByKilledRuns = 0, midRun = 0;
    for (int attempt = 0; attempt < kTries; ++attempt) {
        SCOPED_TRACE(attempt);
        const std::map<QString, QString> before = storedTexts();
        // Every other run is killed while it waits for a page past its first
        // group of saves (the run commits every 100 saves), so that some kills
        // surely come in the middle of the saves; the others after a random
        // time, anywhere in the run, in the middle of a write too.
        const bool held = attempt % 2 == 0;
        if (held)
            allowOnly(random.bounded(110, kPages));
        QProcess *run = start({QStringLiteral("check"), QStringLiteral("--all")});
        if (held) {
            ASSERT_TRUE(waitForAHeldReply()) << "the run never asked for the held page";
            // The first group's rows are printed once they are committed.
            for (int second = 0; second < 60 && !run->canReadLine() && run->state() == QProcess::Running;
                 ++second)
                run->waitForReadyRead(1000);
        } else {
            std::this_thread::sleep_for(std::chrono::milliseconds(random.bounded(5, runMs)));
        }
        run->kill(); // SIGKILL
        run->waitForFinished();
        allowAll();
        expectEveryRowFromARun({}, before);
        const std::map<QString, QString> after = storedTexts();
        int changed = 0;
        for (const auto &[url, text] : after)
            changed += before.at(url) != text;
        midRun += changed > 0 && changed < kPages;
        changedByKilledRuns += changed;
    }
    EXPECT_GT(midRun, 0) << "no kill came while a run was saving";
    std::cout << "[ kill trials ] " << kTries << " kills (" << midRun << " in the middle of the saves), "
              << changedByKilledRuns << " rows saved by killed runs, run length " << runMs << " ms\n";
    // A new run completes on the store the kills left.
    const Result after = cli({QStringLiteral("check"), QStringLiteral("--all")});
    EXPECT_EQ(after.code, 0) << after.err.toStdString();
    expectEveryRowFromARun();
}

// A page whose reply waits until the test releases it, so that the test
// knows a check is in the middle of its download.
class HeldPage {
public:
    explicit HeldPage(std::string body)
    {
        server_.onOther([this, body](const ReceivedRequest &) {
            std::unique_lock lock(mutex_);
            ++requests_;
            changed_.notify_all();
            changed_.wait(lock, [this] { return released_; });
            return Reply::ok(body);
        });
    }
    // Released before the server joins its threads.
    ~HeldPage() { release(); }

    QString url() const { return server_.url("/page"); }
    bool waitForRequest()
    {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, std::chrono::seconds(60), [this] { return requests_ > 0; });
    }
    void release()
    {
        std::lock_guard lock(mutex_);
        released_ = true;
        changed_.notify_all();
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    int requests_ = 0;
    bool released_ = false;
    LoopbackServer server_; // last: destroyed first
};

// `delete` or `set --url` in one process while `check --all` in another is
// downloading the row's page: the check's save must not bring the row back,
// and a row that is gone has no outcome to announce.
TEST(ListChangedDuringACheck, TheCheckNeitherRestoresTheRowNorAnnouncesIt)
{
    const QString renamed = QStringLiteral("http://renamed.example/");
    const struct {
        const char *name;
        const char *storedStatus; // nullptr: the first check of the URL
        const char *command;
        QStringList urlsAfter;
    } cases[] = {
        {"delete before the first check", nullptr, "delete", {}},
        {"delete before a change", "OK", "delete", {}},
        {"rename before a change", "OK", "set", {renamed}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        HeldPage page("<html><body><p>the new text</p></body></html>");
        ASSERT_EQ(finishCli(*startCli(dir.path(), {QStringLiteral("add"), page.url()})).code, 0);
        if (c.storedStatus)
            WebsiteDb(dir.path(), StoreSettings{})
                .DbSaveWebsite(page.url(), QStringLiteral("the old text"),
                               QString::fromLatin1(c.storedStatus));

        const auto check = startCli(dir.path(), {QStringLiteral("check"), QStringLiteral("--all")});
        ASSERT_TRUE(page.waitForRequest()) << "the check never asked for the page";
        QStringList change{QString::fromLatin1(c.command), page.url()};
        if (std::string_view(c.command) == "set")
            change << QStringLiteral("--url") << renamed;
        const Result changed = finishCli(*startCli(dir.path(), change));
        EXPECT_EQ(changed.code, 0) << changed.err.toStdString();
        page.release();
        const Result run = finishCli(*check);

        EXPECT_EQ(run.code, 0) << run.err.toStdString();
        EXPECT_FALSE(run.out.contains(u"Changed!")) << run.out.toStdString();
        EXPECT_FALSE(run.err.contains(u"(Changed)")) << run.err.toStdString();
        EXPECT_FALSE(run.out.contains(QStringLiteral("OK\t") + page.url())) << run.out.toStdString();
        WebsiteDb db(dir.path(), StoreSettings{});
        QStringList urls;
        for (const ListedWebsite &row : db.DbLoadWebsites())
            urls.append(row.url);
        EXPECT_EQ(urls, c.urlsAfter);
        for (const QString &url : urls)
            EXPECT_TRUE(db.lookupRow(url)->isNull(u"CONTENT")) << "the check saved into a row that was gone";
    }
}

} // namespace
