#include "check/checkassembly.h"
#include "check/checkrun.h"
#include "check/enginetesting.h"
#include <condition_variable>
#include <gtest/gtest.h>
#include <mutex>

using namespace sentrel;
using namespace sentrel::enginetest;

namespace {

// Pages by URL, with every download recorded. The first page is held back
// until a second download has begun, so a run that overlaps its downloads
// shows it however the threads are scheduled; a run that downloads one page
// at a time would never begin the second, and the first gives up after a
// generous time instead of hanging the test.
class HeldDownload {
public:
    QString operator()(const QString &url)
    {
        std::unique_lock lock(mutex_);
        started_.append(url);
        changed_.notify_all();
        if (holdFirst && started_.size() == 1)
            overlapped_ =
                changed_.wait_for(lock, std::chrono::seconds(60), [this] { return started_.size() > 1; });
        return QStringLiteral("<p>page of ") + url + QStringLiteral("</p>");
    }
    QStringList started() const
    {
        std::lock_guard lock(mutex_);
        return started_;
    }
    bool overlapped() const
    {
        std::lock_guard lock(mutex_);
        return overlapped_;
    }

    bool holdFirst = true; // set before the run

private:
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    QStringList started_;
    bool overlapped_ = false;
};

class Assembly : public testing::Test {
protected:
    Assembly()
    {
        for (const char *u : {"http://a/", "http://b/", "http://c/"}) {
            rows.add(QString::fromLatin1(u));
            store.rows[QString::fromLatin1(u)] = storedAs(QStringLiteral("old"), QStringLiteral("OK"));
        }
    }
    // Downloads go through `held`, which the assembly may call from its own threads.
    CheckAssemblyParts parts(int jobs)
    {
        return CheckAssemblyParts{
            rows.model,  store, storeErrors, painter,
            preferences, pump,  clock,       [this](const QString &url) { return held(url); },
            jobs};
    }
    RunOutcome checkAll(CheckAssembly &assembly)
    {
        CheckRuns runs(RunServices{rows.model, [] { return QList<RowId>(); }, assembly, pump, changed, {}});
        return runs.checkAll();
    }

    TestList rows;
    FakeStore store;
    RecordingStoreErrors storeErrors;
    FakeDisplay display;
    OutcomePainter painter{rows.model, display};
    FakePreferences preferences;
    CountingPump pump;
    FixedClock clock;
    QStringList changed;
    HeldDownload held;
};

TEST_F(Assembly, WithJobsTheRunsPagesAreDownloadedAheadAndCheckedInListOrder)
{
    CheckAssembly assembly(parts(3));
    const RunOutcome outcome = checkAll(assembly);
    EXPECT_TRUE(held.overlapped()) << "a second page was downloading while the first was held";
    EXPECT_EQ(outcome.checked, 3);
    EXPECT_EQ(outcome.changedUrls, (QStringList{QStringLiteral("http://a/"), QStringLiteral("http://b/"),
                                                QStringLiteral("http://c/")}));
    ASSERT_EQ(store.saves.size(), 3u);
    EXPECT_EQ(store.saves[0].url, u"http://a/");
    EXPECT_EQ(store.saves[2].url, u"http://c/");
    EXPECT_EQ(rows.statuses(), (QStringList{QStringLiteral("Changed!"), QStringLiteral("Changed!"),
                                            QStringLiteral("Changed!")}));
}

TEST_F(Assembly, WithOneJobARunStoppedEarlyDownloadsNothingMore)
{
    held.holdFirst = false;
    CheckAssembly assembly(parts(1));
    CheckRuns runs(RunServices{rows.model, [] { return QList<RowId>(); }, assembly, pump, changed, {}});
    pump.onPump = [&] { runs.requestStop(); }; // the window closes during the first check
    const RunOutcome outcome = runs.checkAll();
    EXPECT_EQ(held.started(), QStringList{QStringLiteral("http://a/")});
    EXPECT_EQ(outcome.checked, 1);
    EXPECT_EQ(rows.statuses(), (QStringList{QStringLiteral("Changed!"), QString(), QString()}));
}

} // namespace
