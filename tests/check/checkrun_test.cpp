#include "check/checkrun.h"
#include "check/enginetesting.h"
#include "support/qtext.h"
#include <gtest/gtest.h>

using namespace sentrel;
using namespace sentrel::enginetest;

namespace {

class Runs : public testing::Test, protected RunFixture {
protected:
    Runs()
    {
        pump.onPump = [this] { events.append(QStringLiteral("pump")); };
    }
    void list(const QStringList &urls)
    {
        for (const QString &url : urls)
            rows.add(url);
    }
    QStringList checks() const { return events.filter(QStringLiteral("check ")); }
};

TEST_F(Runs, CheckAllChecksEveryRowAndReportsChanges)
{
    list({QStringLiteral("a"), QStringLiteral("b")});
    checker.changes = {QStringLiteral("b")};
    commands.ToolButton1Click();
    EXPECT_EQ(events, (QStringList{QStringLiteral("hide panel"), QStringLiteral("check a"),
                                   QStringLiteral("pump"), QStringLiteral("check b"), QStringLiteral("pump"),
                                   QStringLiteral("status Complete"), QStringLiteral("notify b")}));
}

TEST_F(Runs, CheckAllWithoutChangesSaysNoChangeDetectedAndStillCallsTheNotifications)
{
    list({QStringLiteral("a")});
    commands.ToolButton1Click();
    EXPECT_EQ(window.statusText, u"No Change Detected");
    EXPECT_EQ(events.last(), u"notify ") << "with an empty list, which does nothing";
}

TEST_F(Runs, CheckAllEmptiesEveryStatusFirst)
{
    list({QStringLiteral("a"), QStringLiteral("b")});
    rows.model.setStatus(rows.id(1), QStringLiteral("404 Not Found"));
    checker.during[QStringLiteral("a")] = [this] { EXPECT_EQ(rows.row(1).status, u""); };
    commands.ToolButton1Click();
}

TEST_F(Runs, CheckAllOnAnEmptyListBeeps)
{
    commands.ToolButton1Click();
    EXPECT_EQ(events, (QStringList{QStringLiteral("hide panel"), QStringLiteral("beep")}));
    EXPECT_TRUE(changed.isEmpty());
}

TEST_F(Runs, CheckUrlChecksTheSelectedRowsAndSaysCompleteEvenWithoutChanges)
{
    list({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
    rows.select(0);
    rows.select(2);
    rows.model.setStatus(rows.id(0), QStringLiteral("old"));
    rows.model.setStatus(rows.id(1), QStringLiteral("old"));
    commands.CheckURL1Click();
    EXPECT_EQ(events,
              (QStringList{QStringLiteral("pump"), QStringLiteral("hide panel"), QStringLiteral("check a"),
                           QStringLiteral("pump"), QStringLiteral("check c"), QStringLiteral("pump"),
                           QStringLiteral("status Complete"), QStringLiteral("notify ")}));
    EXPECT_EQ(rows.row(1).status, u"old") << "an unselected row keeps its status";
}

TEST_F(Runs, CheckUrlWithNothingSelectedBeepsAfterEmptyingTheChangedList)
{
    list({QStringLiteral("a")});
    commands.CheckURL1Click();
    EXPECT_EQ(events,
              (QStringList{QStringLiteral("pump"), QStringLiteral("hide panel"), QStringLiteral("beep")}));
    EXPECT_TRUE(changed.isEmpty());
}

TEST_F(Runs, TheOutcomeSaysWhatWasCheckedAndFoundAndNothingBeepsBeforeTheEnding)
{
    list({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
    checker.changes = {QStringLiteral("b")};
    const RunOutcome all = runs.checkAll();
    EXPECT_EQ(all.checked, 3);
    EXPECT_EQ(all.changedUrls, QStringList{QStringLiteral("b")});
    EXPECT_EQ(all.statusText, u"Complete");

    rows.select(2);
    const RunOutcome one = runs.checkSelected();
    EXPECT_EQ(one.checked, 1);
    EXPECT_TRUE(one.changedUrls.isEmpty());
    EXPECT_EQ(one.statusText, u"Complete");

    rows.selected.clear();
    const RunOutcome none = runs.checkSelected();
    EXPECT_TRUE(none.nothingChecked());
    EXPECT_EQ(none.statusText, u"");
    EXPECT_TRUE(events.filter(QStringLiteral("beep")).isEmpty()) << "the beep is the desktop's ending";
    EXPECT_TRUE(events.filter(QStringLiteral("notify")).isEmpty());
}

TEST_F(Runs, CheckUrlFollowsItsRowsByIdentityWhileRowsGoMeanwhile)
{
    list({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("d")});
    rows.select(1);
    rows.select(2);
    rows.select(3);
    checker.during[QStringLiteral("b")] = [this] {
        rows.remove(0); // c moves up to where b was
        rows.remove(2); // d, selected, is deleted
    };
    commands.CheckURL1Click();
    EXPECT_EQ(checks(), (QStringList{QStringLiteral("check b"), QStringLiteral("check c")}));
}

TEST_F(Runs, RowsAddedOrRemovedMeanwhileAreTakenIntoAccount)
{
    list({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
    checker.during[QStringLiteral("a")] = [this] { rows.remove(1); };
    checker.during[QStringLiteral("c")] = [this] { rows.add(QStringLiteral("d")); };
    commands.ToolButton1Click();
    EXPECT_EQ(checks(),
              (QStringList{QStringLiteral("check a"), QStringLiteral("check c"), QStringLiteral("check d")}));
}

TEST_F(Runs, TheStopFlagEndsCheckAllAfterTheRowInProgressWithTheUsualEnding)
{
    list({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("d")});
    checker.changes = {QStringLiteral("a")};
    checker.during[QStringLiteral("b")] = [this] { runs.requestStop(); };
    commands.ToolButton1Click();
    EXPECT_EQ(checks(), (QStringList{QStringLiteral("check a"), QStringLiteral("check b")}));
    EXPECT_EQ(window.statusText, u"Complete");
    EXPECT_EQ(events.last(), u"notify a");
}

TEST_F(Runs, CheckAllClearsAStopFlagLeftFromBefore)
{
    list({QStringLiteral("a")});
    runs.requestStop();
    commands.ToolButton1Click();
    EXPECT_EQ(checks(), QStringList{QStringLiteral("check a")});
}

TEST_F(Runs, CheckUrlDoesNotLookAtTheStopFlag)
{
    list({QStringLiteral("a"), QStringLiteral("b")});
    rows.select(0);
    rows.select(1);
    checker.during[QStringLiteral("a")] = [this] { runs.requestStop(); };
    commands.CheckURL1Click();
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
    commands.ToolButton1Click();
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
        commands.ToolButton1Click(); // "Check All" clicked while the first check's messages go through
    };
    commands.ToolButton1Click();
    EXPECT_EQ(checks().size(), 4);
    const QStringList notices = events.filter(QStringLiteral("notify"));
    // The nested run emptied the list, dropping the outer run's own find of
    // "a"; the outer one reports what was found from then on.
    EXPECT_EQ(notices, (QStringList{QStringLiteral("notify a,b"), QStringLiteral("notify a,b,b")}));
}

} // namespace
