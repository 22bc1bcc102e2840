// sentrel-cli check as a process among others: stopped by a signal, writing
// into a pipe whose reader went away, and waiting for the data folder's run
// lock. Runs the real executable against pages served on 127.0.0.1; the page
// /b answers its second request only when the test opens a latch, so that
// the test acts while a run is in the middle of a known row.
#include "cli/clitesting.h"
#include "storage/runlock.h"
#include "support/loopbackserver.h"
#include <QProcess>
#include <QTemporaryDir>
#include <condition_variable>
#include <csignal>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <mutex>
#include <unistd.h>

using namespace sentrel;
using sentrel::test::CliRun;
using sentrel::test::LoopbackServer;
using sentrel::test::ReceivedRequest;
using sentrel::test::Reply;

namespace {

// A one-way door between threads.
class Latch {
public:
    void open()
    {
        std::lock_guard lock(mutex_);
        open_ = true;
        changed_.notify_all();
    }
    // False when the door stayed shut for a minute (the run never got there).
    bool wait()
    {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, std::chrono::minutes(1), [this] { return open_; });
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool open_ = false;
};

// A data folder with the three pages /a, /b and /c on a server of its own:
// the first request of each page gets "one", later ones "two" (/a: always
// "one" when `steadyA`), and the second request of /b waits for the latch
// `replyB`, which `secondB` tells has been reached.
class Scene {
public:
    explicit Scene(bool steadyA = false) : steadyA_(steadyA)
    {
        server_.onOther([this](const ReceivedRequest &request) {
            int n;
            {
                std::lock_guard lock(mutex_);
                n = ++requests_[request.target];
            }
            if (request.target == "/b" && n == 2) {
                secondB.open();
                replyB.wait();
            }
            const bool first = n == 1 || (request.target == "/a" && steadyA_);
            return Reply::ok(first ? "one" : "two");
        });
    }
    ~Scene()
    {
        replyB.open(); // never leave a server thread waiting
        if (process_.state() != QProcess::NotRunning) {
            process_.kill();
            process_.waitForFinished();
        }
    }

    QString url(const char *target) const { return server_.url(target); }
    std::string line(const char *status, const char *target) const
    {
        return std::string(status) + '\t' + url(target).toStdString() + '\n';
    }
    int requestsFor(const std::string &target)
    {
        std::lock_guard lock(mutex_);
        return requests_[target];
    }
    CliRun run(const QStringList &args) const { return sentrel::test::runCliOn(dir_.path(), args); }
    QString folder() const { return dir_.path() + u'/'; }

    // The three URLs added and checked once: every row saved as "one".
    void firstRun()
    {
        ASSERT_EQ(run({QStringLiteral("add"), url("/a"), url("/b"), url("/c")}).code, 0);
        const CliRun first = run({QStringLiteral("check"), QStringLiteral("--all")});
        ASSERT_EQ(first.code, 0) << first.err;
    }

    // sentrel-cli on this data folder, in a process of its own; `inChild`
    // runs in the child before the program starts.
    QProcess &start(QStringList args, const std::function<void()> &inChild = {})
    {
        args.prepend(dir_.path());
        args.prepend(QStringLiteral("--data"));
        if (inChild)
            process_.setChildProcessModifier(inChild);
        process_.start(QStringLiteral(SENTREL_CLI_PATH), args);
        EXPECT_TRUE(process_.waitForStarted());
        return process_;
    }
    // Waits for the process's end, which must be an exit, not a signal.
    void finish()
    {
        EXPECT_TRUE(process_.waitForFinished(120000));
        EXPECT_EQ(process_.exitStatus(), QProcess::NormalExit) << "ended by a signal";
    }
    void signal(int number) { ASSERT_EQ(::kill(pid_t(process_.processId()), number), 0); }
    QProcess &process() { return process_; }

private:
    const bool steadyA_;
    std::mutex mutex_;
    std::map<std::string, int> requests_;

public:
    Latch secondB;
    Latch replyB;

private:
    QTemporaryDir dir_;
    QProcess process_;
    LoopbackServer server_; // last: its threads end first
};

std::string lastLine(const std::string &text)
{
    if (text.size() < 2)
        return text;
    const size_t start = text.rfind('\n', text.size() - 2);
    return text.substr(start == std::string::npos ? 0 : start + 1);
}

// One download at a time, so that the second request of /b comes from the
// check of that row.
struct StopCase {
    const char *name;
    int signal;
    int exitCode;
    QStringList options; // after "check" and before the URLs
    bool named;          // the three URLs named, not --all
};

TEST(CheckProcess, ASignalStopsTheRunAfterTheRowInProgressWithEveryPrintedRowSaved)
{
    const StopCase cases[] = {
        {"Ctrl-C, one download at a time", SIGINT, 130, {QStringLiteral("--jobs=1")}, false},
        {"kill", SIGTERM, 143, {QStringLiteral("--jobs=1")}, false},
        {"Ctrl-C, named URLs", SIGINT, 130, {QStringLiteral("--jobs=1")}, true},
    };
    for (const StopCase &c : cases) {
        SCOPED_TRACE(c.name);
        Scene scene;
        scene.firstRun();
        QStringList args = QStringList{QStringLiteral("check")} + c.options;
        if (c.named)
            args << scene.url("/a") << scene.url("/b") << scene.url("/c");
        else
            args << QStringLiteral("--all");
        scene.start(args);
        ASSERT_TRUE(scene.secondB.wait()) << "the run never asked for /b again";
        scene.signal(c.signal);
        scene.replyB.open();
        scene.finish();
        EXPECT_EQ(scene.process().exitCode(), c.exitCode);
        EXPECT_EQ(scene.process().readAllStandardOutput().toStdString(),
                  scene.line("Changed!", "/a") + scene.line("Changed!", "/b"))
            << "no outcome line for a stopped run";
        EXPECT_EQ(lastLine(scene.process().readAllStandardError().toStdString()),
                  "2 checked, 2 changed, 0 errors\n");

        const CliRun next = scene.run({QStringLiteral("check"), QStringLiteral("--all")});
        EXPECT_EQ(next.out, scene.line("OK", "/a") + scene.line("OK", "/b") + scene.line("Changed!", "/c") +
                                "Complete\n")
            << "a printed change is not reported again, and /c was not checked";
    }
}

TEST(CheckProcess, AReaderThatGoesAwayStopsThePrintingButNotTheRun)
{
    Scene scene(/*steadyA=*/true);
    scene.firstRun();
    // check --all | head -1, with this test as head: standard output is a
    // pipe whose reading end the test closes after the first line.
    int pipeFds[2];
    ASSERT_EQ(::pipe2(pipeFds, O_CLOEXEC), 0);
    const int writeEnd = pipeFds[1];
    scene.start({QStringLiteral("check"), QStringLiteral("--all"), QStringLiteral("--jobs=1")},
                [writeEnd] { ::dup2(writeEnd, STDOUT_FILENO); });
    ::close(pipeFds[1]);
    std::string first;
    char c;
    while (::read(pipeFds[0], &c, 1) == 1 && c != '\n')
        first += c;
    ::close(pipeFds[0]);
    EXPECT_EQ(first + '\n', scene.line("OK", "/a")) << "an unchanged row is printed at once";
    scene.replyB.open();
    scene.finish();
    EXPECT_EQ(scene.process().exitCode(), 0);
    EXPECT_EQ(lastLine(scene.process().readAllStandardError().toStdString()),
              "3 checked, 2 changed, 0 errors\n");

    const CliRun next = scene.run({QStringLiteral("check"), QStringLiteral("--all")});
    EXPECT_EQ(next.out, scene.line("OK", "/a") + scene.line("OK", "/b") + scene.line("OK", "/c") +
                            "No Change Detected\n")
        << "the rows after the reader left were checked and saved";
}

TEST(CheckProcess, ASecondRunWaitsForTheFirstSayingSoOnStderr)
{
    Scene scene;
    scene.firstRun();
    std::unique_ptr<RunLock> held = RunLock::tryTake(scene.folder()); // the first run
    ASSERT_TRUE(held);

    QProcess &waiting = scene.start({QStringLiteral("check"), QStringLiteral("--all")});
    waiting.setReadChannel(QProcess::StandardError);
    QByteArray said;
    while (!said.contains("Waiting") && waiting.waitForReadyRead(60000))
        said += waiting.readAllStandardError();
    EXPECT_TRUE(said.contains("Waiting")) << said.toStdString();
    EXPECT_EQ(scene.requestsFor("/a"), 1) << "nothing checked while the lock is held";
    held.reset();
    scene.replyB.open();
    scene.finish();
    EXPECT_EQ(waiting.exitCode(), 0);
    EXPECT_EQ(scene.requestsFor("/a"), 2);
}

TEST(CheckProcess, TheKernelLetsGoOfTheLockOfAKilledRun)
{
    Scene scene;
    scene.firstRun();
    scene.start({QStringLiteral("check"), QStringLiteral("--all"), QStringLiteral("--jobs=1")});
    ASSERT_TRUE(scene.secondB.wait());
    EXPECT_FALSE(RunLock::tryTake(scene.folder())) << "a run holds the lock while it checks";
    scene.process().kill(); // SIGKILL: no handler, no clean-up
    scene.process().waitForFinished();
    EXPECT_TRUE(RunLock::tryTake(scene.folder()));
}

} // namespace
