#include "app/startup.h"
#include "storage/storesqlite.h"
#include "support/qtext.h"
#include "text/error.h"
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTest>
#include <gtest/gtest.h>

using namespace sentrel;

namespace {

// Records the order of the steps; a chosen step fails with a chosen error.
class RecordedSteps : public StartupSteps {
public:
    void setWindowTitleFromVersion() override { step("title"); }
    void chooseDataFolder() override { step("folder"); }
    void openSettings() override { step("settings"); }
    void applySettings() override { step("apply"); }
    void readAutostartEntry() override { step("autostart"); }
    void loadLanguage() override { step("language"); }
    void setUpTextAreas() override { step("textareas"); }
    void openStore() override { step("store"); }
    void createChangedListAndLoadExclusions() override { step("exclusions"); }
    void fillUrlList() override { step("list"); }
    void restoreGeometry() override { step("geometry"); }
    void setStartupComplete() override { step("complete"); }
    void showStoreOpenError(const QString &text) override
    {
        shown.push_back("store message: " + text.toStdString());
    }
    void showErrorBox(const QString &message) override
    {
        shown.push_back("error box: " + message.toStdString());
    }

    std::string failAt;
    std::function<void()> failure;
    std::vector<std::string> order;
    std::vector<std::string> shown;

private:
    void step(const char *name)
    {
        order.push_back(name);
        if (failAt == name)
            failure();
    }
};

const std::vector<std::string> allSteps{"title",      "folder",   "settings",  "apply",
                                        "autostart",  "language", "textareas", "store",
                                        "exclusions", "list",     "geometry",  "complete"};

std::vector<std::string> stepsUpTo(const std::string &last)
{
    auto end = std::find(allSteps.begin(), allSteps.end(), last);
    return {allSteps.begin(), end + 1};
}

} // namespace

TEST(Startup, RunsEveryStepInTheFixedOrder)
{
    RecordedSteps steps;
    EXPECT_EQ(runStartup(steps), StartupOutcome::Complete);
    EXPECT_EQ(steps.order, allSteps);
    EXPECT_TRUE(steps.shown.empty());
}

TEST(Startup, FailuresSkipTheLaterStepsButReturnToTheWindow)
{
    const struct {
        const char *name;
        std::string failAt;
        std::function<void()> failure;
        StartupOutcome outcome;
        std::string shown;
    } cases[] = {
        {"StoreCannotBeOpened", "store",
         [] { throw StoreOpenError(QStringLiteral("unable to open database file"), 14); },
         StartupOutcome::StoreNotOpened,
         "store message: Exception raised with message:\r\runable to open database file"},
        {"MigrationFails", "store", [] { throw StoreError(QStringLiteral("database is locked"), 5); },
         StartupOutcome::Stopped, "error box: database is locked"},
        {"ExclusionsUnreadable", "exclusions",
         [] { throw Error(QStringLiteral("Cannot read exclusions.txt")); }, StartupOutcome::Stopped,
         "error box: Cannot read exclusions.txt"},
        {"SettingsUnwritable", "apply", [] { throw Error(QStringLiteral("Cannot write settings.ini")); },
         StartupOutcome::Stopped, "error box: Cannot write settings.ini"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        RecordedSteps steps;
        steps.failAt = c.failAt;
        steps.failure = c.failure;
        EXPECT_EQ(runStartup(steps), c.outcome);
        EXPECT_EQ(steps.order, stepsUpTo(c.failAt));
        EXPECT_EQ(steps.shown, std::vector<std::string>{c.shown});
    }
}

TEST(CommandLine, AutoSwitchFirstArgumentAnyCase)
{
    const struct {
        QStringList arguments;
        bool minimizeAtStartup, toTray;
        StartupWindowAction action;
    } cases[] = {
        {{QStringLiteral("/auto")}, true, true, StartupWindowAction::HideToTray},
        {{QStringLiteral("/AUTO")}, true, false, StartupWindowAction::Minimize},
        {{QStringLiteral("/Auto"), QStringLiteral("x")}, true, false, StartupWindowAction::Minimize},
        {{QStringLiteral("x"), QStringLiteral("/auto")}, true, true, StartupWindowAction::None},
        {{QStringLiteral("/auto")}, false, true, StartupWindowAction::None},
        {{QStringLiteral("-auto")}, true, true, StartupWindowAction::None},
        {{QStringLiteral("/auto ")}, true, true, StartupWindowAction::None},
        {{}, true, true, StartupWindowAction::None},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.arguments.join(u'|').toStdString());
        EXPECT_EQ(commandLineAction(c.arguments, c.minimizeAtStartup, c.toTray), c.action);
    }
}

TEST(CommandLine, TimerFiresOnceAboutASecondAfterFirstShow)
{
    int fired = 0;
    CommandLineTimer timer([&] { ++fired; });
    EXPECT_FALSE(timer.isActive()); // created, but waits for the first show
    QElapsedTimer clock;
    clock.start();
    timer.formShow();
    timer.formShow(); // a second show before it fired does not restart it
    EXPECT_TRUE(timer.isActive());
    EXPECT_TRUE(QTest::qWaitFor([&] { return fired > 0; }, 5000));
    EXPECT_GE(clock.elapsed(), 900);
    EXPECT_TRUE(timer.hasRun());
    timer.formShow(); // shown again (restored from the tray): never again
    EXPECT_FALSE(timer.isActive());
    QCoreApplication::processEvents(); // a timer event still queued would run here
    EXPECT_EQ(fired, 1);
}
