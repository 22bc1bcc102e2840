#include "check/checkurl.h"
#include "check/enginetesting.h"
#include "check/pageloaders.h"
#include "check/prefetchloader.h"
#include "check/reductioncache.h"
#include "support/qtext.h"
#include "text/error.h"
#include "text/regex.h"
#include <QCoreApplication>
#include <QTimer>
#include <chrono>
#include <condition_variable>
#include <gtest/gtest.h>
#include <latch>
#include <mutex>
#include <semaphore>
#include <thread>

using namespace sentrel;
using namespace sentrel::enginetest;
using namespace std::chrono_literals;

namespace {

// The window's event loop for the tests that need one.
class WithEventLoop : public testing::Test {
protected:
    int argc = 1;
    char name[8] = "tests";
    char *argv[2] = {name, nullptr};
    QCoreApplication app{argc, argv};
};

using BackgroundLoading = WithEventLoop;

TEST_F(BackgroundLoading, TheWindowsEventsRunWhileThePageDownloadsElsewhere)
{
    const auto windowThread = std::this_thread::get_id();
    std::binary_semaphore releaseDownload{0};
    std::thread::id downloadThread;
    bool timerRanDuringDownload = false;
    // The download holds until an event of the window's thread has run: it
    // can only finish if that thread keeps handling events meanwhile. The
    // event is queued here, on the window's thread, so the only hand-over
    // between the threads is the semaphore.
    QTimer::singleShot(0, QCoreApplication::instance(), [&] {
        timerRanDuringDownload = true;
        releaseDownload.release();
    });
    BackgroundPageLoader loader([&](const QString &url) {
        downloadThread = std::this_thread::get_id();
        releaseDownload.acquire();
        return QStringLiteral("page of ") + url;
    });
    EXPECT_EQ(loader.load(QStringLiteral("u")), u"page of u");
    EXPECT_TRUE(timerRanDuringDownload);
    EXPECT_NE(downloadThread, windowThread);
}

TEST_F(BackgroundLoading, ADownloadsErrorComesBackToTheCaller)
{
    BackgroundPageLoader loader(
        [](const QString &) -> QString { throw Error(QStringLiteral("HTTP/1.1 404 Not Found")); });
    try {
        loader.load(QStringLiteral("u"));
        FAIL() << "no error";
    } catch (const Error &e) {
        EXPECT_EQ(e.message(), u"HTTP/1.1 404 Not Found");
    }
}

TEST_F(BackgroundLoading, ALoadStartedFromTheEventsOfAnotherFinishesFirst)
{
    QStringList finished;
    // The outer download ends first, while the inner load's events run: its
    // result must still wait until the inner load has returned.
    std::latch innerStarted{1};
    std::latch outerDownloaded{1};
    BackgroundPageLoader loader([&](const QString &url) {
        if (url == u"outer") {
            innerStarted.wait();
            outerDownloaded.count_down();
        } else {
            innerStarted.count_down();
            outerDownloaded.wait();
        }
        return url;
    });
    QTimer::singleShot(0, [&] { finished.append(loader.load(QStringLiteral("inner"))); });
    finished.append(loader.load(QStringLiteral("outer")));
    EXPECT_EQ(finished, (QStringList{QStringLiteral("inner"), QStringLiteral("outer")}));
}

TEST_F(BackgroundLoading, ARowMovedDuringTheDownloadKeepsItsOutcome)
{
    EngineFixture f;
    for (const char *u : {"http://a/", "http://b/"}) {
        f.rows.add(QString::fromLatin1(u));
        f.store.rows[QString::fromLatin1(u)] = storedAs(QStringLiteral("old"), QStringLiteral("OK"));
    }
    std::binary_semaphore release{0};
    BackgroundPageLoader loader([&](const QString &) {
        QTimer::singleShot(0, QCoreApplication::instance(), [&] {
            f.rows.remove(0); // a "Delete" handled while the page of http://b/ loads
            release.release();
        });
        release.acquire();
        return QStringLiteral("new");
    });
    CheckEngine engine(CheckServices{f.rows.model, f.store, f.storeErrors, f.painter, f.preferences, f.pump,
                                     loader, f.clock});
    f.recordChange(engine.check(f.rows.id(1)));
    ASSERT_EQ(f.rows.model.count(), 1);
    EXPECT_EQ(f.rows.row(0).status, u"Changed!") << "http://b/ moved up to position 0";
    EXPECT_EQ(f.changed, QStringList{QStringLiteral("http://b/")});
}

// A download that records how many run at once. The first one holds until
// a second has started, so that a loader that overlaps downloads shows it
// however the threads happen to be scheduled.
class CountingDownload {
public:
    QString operator()(const QString &url)
    {
        {
            std::unique_lock lock(mutex_);
            const int now = ++running_;
            most_ = std::max(most_, now);
            started_.append(url);
            changed_.notify_all();
            if (started_.size() == 1)
                changed_.wait(lock, [this] { return started_.size() > 1; });
        }
        {
            std::lock_guard lock(mutex_);
            --running_;
        }
        if (url.endsWith(u"!"))
            throw Error(QStringLiteral("failed ") + url);
        return QStringLiteral("page of ") + url;
    }
    int most() const
    {
        std::lock_guard lock(mutex_);
        return most_;
    }
    QStringList started() const
    {
        std::lock_guard lock(mutex_);
        return started_;
    }
    // Waits until `n` downloads have started, or a generous time is up.
    void waitForStarts(qsizetype n) const
    {
        std::unique_lock lock(mutex_);
        changed_.wait_for(lock, 60s, [&] { return started_.size() >= n; });
    }

private:
    int running_ = 0;
    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    int most_ = 0;
    QStringList started_;
};

QStringList urls(int n)
{
    QStringList list;
    for (int i = 0; i < n; ++i)
        list.append(QStringLiteral("u%1").arg(i));
    return list;
}

TEST(Prefetching, GivesEveryCheckWhatItsOwnDownloadWouldHaveGiven)
{
    CountingDownload counter;
    QStringList list = urls(30);
    list[7] += u'!';
    PrefetchingPageLoader loader(list, 4, [&](const QString &u) { return counter(u); });
    for (const QString &url : list) {
        SCOPED_TRACE(url.toStdString());
        if (url.endsWith(u'!')) {
            try {
                loader.load(url);
                FAIL() << "no error";
            } catch (const Error &e) {
                EXPECT_EQ(e.message(), QStringLiteral("failed ") + url);
            }
        } else {
            EXPECT_EQ(loader.load(url), QStringLiteral("page of ") + url);
        }
    }
    EXPECT_LE(counter.most(), 4);
    EXPECT_GT(counter.most(), 1) << "downloads overlap";
    EXPECT_EQ(counter.started().size(), 30) << "each page downloaded once";
}

// The number of downloads started once `n` have started and the loader had
// a moment to start any it should not. That moment only gives a faulty
// loader the chance to show itself: a correct one gives `n` however long it
// is, so the verdict never depends on the machine's speed.
qsizetype settledAt(const CountingDownload &counter, qsizetype n)
{
    counter.waitForStarts(n);
    std::this_thread::sleep_for(30ms);
    return counter.started().size();
}

TEST(Prefetching, NeverRunsMoreThanItsJobsAheadOfTheChecks)
{
    CountingDownload counter;
    PrefetchingPageLoader loader(urls(20), 3, [&](const QString &u) { return counter(u); });
    EXPECT_EQ(settledAt(counter, 3), 3);
    loader.load(QStringLiteral("u0"));
    EXPECT_EQ(settledAt(counter, 4), 4);
}

TEST(Prefetching, AnUnexpectedUrlIsDownloadedOnTheSpot)
{
    CountingDownload counter;
    PrefetchingPageLoader loader(urls(3), 2, [&](const QString &u) { return counter(u); });
    EXPECT_EQ(loader.load(QStringLiteral("other")), u"page of other");
    EXPECT_EQ(loader.load(QStringLiteral("u0")), u"page of u0") << "the expected order is still served";
    EXPECT_EQ(loader.load(QStringLiteral("u2")), u"page of u2") << "out of order: on the spot";
}

TEST(Prefetching, EndingEarlyWaitsOnlyForTheDownloadsUnderWay)
{
    CountingDownload counter;
    {
        PrefetchingPageLoader loader(urls(100), 4, [&](const QString &u) { return counter(u); });
        loader.load(QStringLiteral("u0"));
    }
    EXPECT_LE(counter.started().size(), 5 + 4);
}

TEST(ReductionsDoneAhead, AreUsedOnlyForTheSameInputs)
{
    ReductionCache cache;
    CheckOptions digits;
    digits.strip = false;
    digits.regex = QStringLiteral("\\d+");
    cache.prepare(QStringLiteral("u"), QStringLiteral("  a1 b2 \r\n"), digits, StripMethod::Regex, {});
    EXPECT_EQ(cache.size(), 1);

    CheckOptions letters = digits;
    letters.regex = QStringLiteral("[a-z]");
    EXPECT_EQ(cache.reduce(QStringLiteral("u"), QStringLiteral("a1 b2"), letters, StripMethod::Regex, {}),
              u"a\r\nb\r\n")
        << "other options: reduced anew";
    EXPECT_EQ(cache.size(), 0);

    cache.prepare(QStringLiteral("u"), QStringLiteral("a1 b2"), digits, StripMethod::Regex, {});
    EXPECT_EQ(cache.reduce(QStringLiteral("u"), QStringLiteral("a1 b2"), digits, StripMethod::Regex, {}),
              u"1\r\n2\r\n");
    cache.prepare(QStringLiteral("u"), QStringLiteral("a1 b2"), digits, StripMethod::Regex, {});
    EXPECT_EQ(cache.reduce(QStringLiteral("u"), QStringLiteral("c3"), digits, StripMethod::Regex, {}),
              u"3\r\n")
        << "another page: reduced anew";
}

TEST(ReductionsDoneAhead, RaiseTheirErrorAtTheCheck)
{
    ReductionCache cache;
    CheckOptions bad;
    bad.regex = QStringLiteral("(");
    cache.prepare(QStringLiteral("u"), QStringLiteral("x"), bad, StripMethod::Regex, {});
    EXPECT_THROW(cache.reduce(QStringLiteral("u"), QStringLiteral("x"), bad, StripMethod::Regex, {}),
                 RegexError);
}

TEST(ReductionsDoneAhead, SkipEmptyAndOversizedPages)
{
    ReductionCache cache(10);
    cache.prepare(QStringLiteral("u"), QStringLiteral(" \r\n "), {}, StripMethod::Regex, {});
    cache.prepare(QStringLiteral("v"), QString(11, u'x'), {}, StripMethod::Regex, {});
    EXPECT_EQ(cache.size(), 0);
}

} // namespace
