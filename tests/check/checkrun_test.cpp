#include "check/checkrun.h"
#include "check/enginetesting.h"
#include "support/qtext.h"
#include <gtest/gtest.h>

using namespace sentrel;
using namespace sentrel::enginetest;

namespace {

class Runs : public testing::Test {
protected:
    Runs()
    {
        pump.onPump = [this] { events.append(QStringLiteral("pump")); };
    }
    void list(const QStringList &urls) { rows = FakeRows(urls); }
    QStringList checks() const { return events.filter(QStringLiteral("check ")); }

    QStringList events;
    FakeRows rows;
    QStringList changed{QStringLiteral("left over from the last run")};
    CountingPump pump;
    FakeWindow window{events};
    FakeNotifier notifier{events};
    FakeChecker checker{rows, changed, events};
    CheckRuns runs{RunServices{rows, checker, pump, window, notifier, changed}};
};

TEST_F(Runs, CheckAllChecksEveryRowAndReportsChanges)
{
    list({QStringLiteral("a"), QStringLiteral("b")});
    checker.changes = {QStringLiteral("b")};
    runs.ToolButton1Click();
    EXPECT_EQ(events, (QStringList{QStringLiteral("hide panel"), QStringLiteral("check a"),
                                   QStringLiteral("pump"), QStringLiteral("check b"), QStringLiteral("pump"),
                                   QStringLiteral("status Complete"), QStringLiteral("notify b")}));
}

TEST_F(Runs, CheckAllWithoutChangesSaysNoChangeDetectedAndStillCallsTheNotifications)
{
    list({QStringLiteral("a")});
    runs.ToolButton1Click();
    EXPECT_EQ(window.statusText, u"No Change Detected");
    EXPECT_EQ(events.last(), u"notify ") << "with an empty list, which does nothing";
}

TEST_F(Runs, CheckAllEmptiesEveryStatusFirst)
{
    list({QStringLiteral("a"), QStringLiteral("b")});
    rows.rows[1].status = QStringLiteral("404 Not Found");
    checker.during[QStringLiteral("a")] = [this] { EXPECT_EQ(rows.rows[1].status, u""); };
    runs.ToolButton1Click();
}

TEST_F(Runs, CheckAllOnAnEmptyListBeeps)
{
    runs.ToolButton1Click();
    EXPECT_EQ(events, (QStringList{QStringLiteral("hide panel"), QStringLiteral("beep")}));
    EXPECT_TRUE(changed.isEmpty());
}

TEST_F(Runs, CheckUrlChecksTheSelectedRowsAndSaysCompleteEvenWithoutChanges)
{
    list({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
    rows.rows[0].selected = rows.rows[2].selected = true;
    rows.rows[0].status = rows.rows[1].status = QStringLiteral("old");
    runs.CheckURL1Click();
    EXPECT_EQ(events,
              (QStringList{QStringLiteral("pump"), QStringLiteral("hide panel"), QStringLiteral("check a"),
                           QStringLiteral("pump"), QStringLiteral("check c"), QStringLiteral("pump"),
                           QStringLiteral("status Complete"), QStringLiteral("notify ")}));
    EXPECT_EQ(rows.rows[1].status, u"old") << "an unselected row keeps its status";
}

TEST_F(Runs, CheckUrlWithNothingSelectedBeepsAfterEmptyingTheChangedList)
{
    list({QStringLiteral("a")});
    runs.CheckURL1Click();
    EXPECT_EQ(events,
              (QStringList{QStringLiteral("pump"), QStringLiteral("hide panel"), QStringLiteral("beep")}));
    EXPECT_TRUE(changed.isEmpty());
}

TEST_F(Runs, RowsAddedOrRemovedMeanwhileAreTakenIntoAccount)
{
    list({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
    checker.during[QStringLiteral("a")] = [this] { rows.remove(1); };
    checker.during[QStringLiteral("c")] = [this] { rows.rows.push_back(FakeRow::of(QStringLiteral("d"))); };
    runs.ToolButton1Click();
    EXPECT_EQ(checks(),
              (QStringList{QStringLiteral("check a"), QStringLiteral("check c"), QStringLiteral("check d")}));
}

TEST_F(Runs, TheStopFlagEndsCheckAllAfterTheRowInProgressWithTheUsualEnding)
{
    list({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("d")});
    checker.changes = {QStringLiteral("a")};
    checker.during[QStringLiteral("b")] = [this] { runs.requestStop(); };
    runs.ToolButton1Click();
    EXPECT_EQ(checks(), (QStringList{QStringLiteral("check a"), QStringLiteral("check b")}));
    EXPECT_EQ(window.statusText, u"Complete");
    EXPECT_EQ(events.last(), u"notify a");
}

TEST_F(Runs, CheckAllClearsAStopFlagLeftFromBefore)
{
    list({QStringLiteral("a")});
    runs.requestStop();
    runs.ToolButton1Click();
    EXPECT_EQ(checks(), QStringList{QStringLiteral("check a")});
}

TEST_F(Runs, CheckUrlDoesNotLookAtTheStopFlag)
{
    list({QStringLiteral("a"), QStringLiteral("b")});
    rows.rows[0].selected = rows.rows[1].selected = true;
    checker.during[QStringLiteral("a")] = [this] { runs.requestStop(); };
    runs.CheckURL1Click();
    EXPECT_EQ(checks().size(), 2);
}

TEST_F(Runs, AnErrorOfACheckEndsTheRunThereWithoutNotifications)
{
    list({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
    checker.changes = {QStringLiteral("a")};
    checker.during[QStringLiteral("b")] = [] {
        throw Error(QStringLiteral("Error in regular expression at offset 3: missing closing parenthesis"));
    };
    window.setStatusText(QStringLiteral("Loading b..."));
    events.clear();
    runs.ToolButton1Click();
    EXPECT_EQ(events.last(), u"error Error in regular expression at offset 3: missing closing parenthesis");
    EXPECT_EQ(checks(), (QStringList{QStringLiteral("check a"), QStringLiteral("check b")}));
    EXPECT_TRUE(events.filter(QStringLiteral("notify")).isEmpty());
    EXPECT_TRUE(events.filter(QStringLiteral("status")).isEmpty()) << "the status bar keeps the check's text";
    EXPECT_EQ(changed, QStringList{QStringLiteral("a")}) << "what was found so far stays";
    EXPECT_THROW(runs.checkAll(), Error) << "the plain run lets the error pass";
}

TEST_F(Runs, ARunStartedInsideARunHasItsOwnEndingAndTheOuterOneGoesOn)
{
    list({QStringLiteral("a"), QStringLiteral("b")});
    checker.changes = {QStringLiteral("a"), QStringLiteral("b")};
    bool nested = false;
    pump.onPump = [&] {
        if (nested)
            return;
        nested = true;
        runs.ToolButton1Click(); // "Check All" clicked while the first check's messages go through
    };
    runs.ToolButton1Click();
    EXPECT_EQ(checks().size(), 4);
    const QStringList notices = events.filter(QStringLiteral("notify"));
    // The nested run emptied the list, dropping the outer run's own find of
    // "a"; the outer one reports what was found from then on.
    EXPECT_EQ(notices, (QStringList{QStringLiteral("notify a,b"), QStringLiteral("notify a,b,b")}));
}

} // namespace
