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
#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <mutex>
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
    std::atomic<bool> downloading{false};
    std::atomic<bool> releaseDownload{false};
    std::thread::id downloadThread;
    BackgroundPageLoader loader([&](const QString &url) {
        downloadThread = std::this_thread::get_id();
        downloading = true;
        while (!releaseDownload)
            std::this_thread::sleep_for(1ms);
        return QStringLiteral("page of ") + url;
    });
    bool timerRanDuringDownload = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (downloading) {
            timerRanDuringDownload = true;
            releaseDownload = true;
        }
    });
    poll.start(5);
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
    BackgroundPageLoader loader([](const QString &url) {
        std::this_thread::sleep_for(url == u"outer" ? 30ms : 60ms);
        return url;
    });
    QTimer::singleShot(5, [&] { finished.append(loader.load(QStringLiteral("inner"))); });
    finished.append(loader.load(QStringLiteral("outer")));
    EXPECT_EQ(finished, (QStringList{QStringLiteral("inner"), QStringLiteral("outer")}));
}

TEST_F(BackgroundLoading, ARowDeletedDuringTheDownloadIsNeverWrittenPastTheEnd)
{
    EngineFixture f;
    for (const char *u : {"http://a/", "http://b/"}) {
        f.rows.rows.push_back(FakeRow::of(QString::fromLatin1(u)));
        f.store.rows[QString::fromLatin1(u)] =
            StoredCheck{QStringLiteral("old"), QStringLiteral("OK"), {}, {}};
    }
    std::atomic<bool> release{false};
    BackgroundPageLoader loader([&](const QString &) {
        while (!release)
            std::this_thread::sleep_for(1ms);
        return QStringLiteral("new");
    });
    CheckEngine engine(CheckServices{f.rows, f.store, f.storeErrors, f.display, f.preferences, f.pump, loader,
                                     f.clock, f.changed});
    QTimer::singleShot(10, [&] {
        f.rows.remove(0); // a "Delete" handled while the page of http://b/ loads
        release = true;
    });
    engine.CheckURL(1);
    ASSERT_EQ(f.rows.rowCount(), 1);
    EXPECT_EQ(f.rows.rows[0].status, u"") << "position 1 is past the end now";
    EXPECT_EQ(f.changed, QStringList{QStringLiteral("http://b/")});
}

// A download that records how many run at once.
class CountingDownload {
public:
    QString operator()(const QString &url)
    {
        const int now = ++running_;
        {
            std::lock_guard lock(mutex_);
            most_ = std::max(most_, now);
            started_.append(url);
        }
        std::this_thread::sleep_for(2ms);
        --running_;
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

private:
    std::atomic<int> running_{0};
    mutable std::mutex mutex_;
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

// Waits until `n` downloads have started (or a generous time is up), then a
// little longer for any that should not start.
qsizetype settledAt(const CountingDownload &counter, qsizetype n)
{
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    while (counter.started().size() < n && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(1ms);
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
    digits.strip = QStringLiteral("NO");
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
