#include "check/autocheck.h"
#include "check/enginetesting.h"
#include "check/interval.h"
#include "storage/settings.h"
#include "storage/settingskeys.h"
#include "support/qtext.h"
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace sentrel;
using namespace sentrel::enginetest;

namespace {

struct IntervalCase {
    const char *text;
    int64_t interval;
    int countdown;
    int saved;
};

TEST(Interval, IsTheTypedWholeNumberButAtLeastTen)
{
    const IntervalCase cases[] = {
        {"60", 60, 60, 60},
        {"10", 10, 10, 10},
        {"7", 10, 10, 7}, // saved as typed, counted from 10
        {"0", 10, 10, 0},
        {"-5", 10, 10, -5},
        {"", 10, 10, 10},
        {"abc", 10, 10, 10},
        {"12x", 10, 10, 10},
        {"999999999", 999999999, 999999999, 999999999},
        {"9999999999", 9999999999, 999999999, 10}, // beyond 32 bits: the control's value is no number
        {"99999999999999999999", 10, 10, 10},      // beyond 64 bits: no number at all
    };
    for (const IntervalCase &c : cases) {
        SCOPED_TRACE(c.text);
        const QString text = QString::fromLatin1(c.text);
        EXPECT_EQ(IntervalHesapla(text), c.interval);
        EXPECT_EQ(countdownSeconds(text), c.countdown);
        EXPECT_EQ(intervalControlValue(text), c.saved);
    }
}

class FakeTimer : public RunTimer {
public:
    void start() override
    {
        active = true;
        ++starts;
    }
    void stop() override { active = false; }
    bool isActive() const override { return active; }
    bool active = false;
    int starts = 0;
};

class FakeControls : public AutoCheckControls {
public:
    bool autoCheckChecked() const override { return checked; }
    QString intervalText() const override { return interval; }
    void setIntervalEnabled(bool on) override { intervalEnabled = on; }
    void setCountdownText(const QString &text) override { countdownText = text; }
    void setCountdownVisible(bool visible) override { countdownVisible = visible; }

    bool checked = false;
    QString interval = QStringLiteral("60");
    bool intervalEnabled = false;
    QString countdownText = QStringLiteral("0");
    bool countdownVisible = false;
};

class Automatic : public testing::Test, protected RunFixture {
protected:
    Automatic()
    {
        for (const char *url : {"a", "b", "c"})
            rows.add(QString::fromLatin1(url));
    }

    QString savedValue(const char16_t *key) const
    {
        return SettingsFile::open(folder()).readString(SettingsSection, key, QStringLiteral("<none>"));
    }
    QString folder() const { return dir.path() + u'/'; }
    void switchOn()
    {
        controls.checked = true;
        autoCheck.CheckBox1Click();
    }
    void tick(int times)
    {
        for (int i = 0; i < times; ++i)
            autoCheck.TimerAutoTimer();
    }

    QTemporaryDir dir;
    SettingsFile settings = SettingsFile::open(dir.path() + u'/');
    FakeControls controls;
    FakeTimer timer;
    AutoCheck autoCheck{AutoCheckServices{commands, controls, timer, window, pump, settings}};
};

TEST_F(Automatic, CheckingTheBoxStartsTheCountdownAndSavesOn)
{
    controls.interval = QStringLiteral("30");
    switchOn();
    EXPECT_TRUE(controls.intervalEnabled);
    EXPECT_TRUE(controls.countdownVisible);
    EXPECT_EQ(controls.countdownText, u"30");
    EXPECT_TRUE(timer.active);
    EXPECT_EQ(savedValue(settingskey::AutoCheck), u"ON");
}

TEST_F(Automatic, UncheckingStopsEverythingAndWritesOffOnlyWhereTheKeyExists)
{
    controls.checked = false;
    autoCheck.CheckBox1Click();
    EXPECT_EQ(savedValue(settingskey::AutoCheck), u"<none>") << "a file that never had the key gets none";

    switchOn();
    window.setStatusText(QStringLiteral("Auto Check Complete"));
    controls.checked = false;
    autoCheck.CheckBox1Click();
    EXPECT_FALSE(controls.intervalEnabled);
    EXPECT_FALSE(controls.countdownVisible);
    EXPECT_FALSE(timer.active);
    EXPECT_EQ(window.statusText, u"");
    EXPECT_EQ(savedValue(settingskey::AutoCheck), u"OFF");
}

TEST_F(Automatic, TicksCountDownAndZeroRunsCheckAll)
{
    controls.interval = QStringLiteral("12");
    switchOn();
    tick(11);
    EXPECT_EQ(controls.countdownText, u"1");
    EXPECT_TRUE(events.filter(QStringLiteral("check")).isEmpty());

    events.clear();
    pump.onPump = [this] {
        events.append(QStringLiteral("pump"));
        EXPECT_FALSE(timer.active) << "no tick during the run";
    };
    tick(1);
    EXPECT_EQ(events.mid(0, 3), (QStringList{QStringLiteral("status Auto Checking..."),
                                             QStringLiteral("pump"), QStringLiteral("hide panel")}));
    EXPECT_EQ(events.filter(QStringLiteral("check ")).size(), 3);
    EXPECT_EQ(events.last(), u"status Auto Check Complete");
    EXPECT_EQ(controls.countdownText, u"0") << "until the next tick";
    EXPECT_TRUE(timer.active);
    EXPECT_EQ(autoCheck.countdown(), 12);
    tick(1);
    EXPECT_EQ(controls.countdownText, u"11");
}

TEST_F(Automatic, TheNotificationsComeWhileTheRunsOwnTextShows)
{
    controls.interval = QStringLiteral("10");
    checker.changes = {QStringLiteral("b")};
    switchOn();
    QString shownDuringMessage;
    notifier.onNotify = [&] { shownDuringMessage = window.statusText; };
    tick(10);
    EXPECT_EQ(shownDuringMessage, u"Complete");
    EXPECT_EQ(window.statusText, u"Auto Check Complete");
}

TEST_F(Automatic, AnErrorEndsTheRunButTheCountdownStartsAgain)
{
    controls.interval = QStringLiteral("10");
    switchOn();
    checker.during[QStringLiteral("b")] = [] {
        throw Error(QStringLiteral("Error in regular expression at offset 0: x"));
    };
    tick(10);
    EXPECT_EQ(events.filter(QStringLiteral("check ")),
              (QStringList{QStringLiteral("check a"), QStringLiteral("check b")}));
    EXPECT_EQ(events.last(), u"error Error in regular expression at offset 0: x");
    EXPECT_TRUE(events.filter(QStringLiteral("Auto Check Complete")).isEmpty());
    EXPECT_TRUE(timer.active);
    EXPECT_EQ(autoCheck.countdown(), 10);
}

TEST_F(Automatic, UncheckingDuringTheRunLetsItFinishWithoutANewCountdown)
{
    controls.interval = QStringLiteral("10");
    switchOn();
    checker.during[QStringLiteral("a")] = [this] {
        controls.checked = false;
        autoCheck.CheckBox1Click();
    };
    tick(10);
    EXPECT_EQ(events.filter(QStringLiteral("check ")).size(), 3);
    EXPECT_FALSE(timer.active);
}

TEST_F(Automatic, ATypedIntervalRestartsTheCountdownAndIsSavedAsTyped)
{
    switchOn();
    tick(5);
    controls.interval = QStringLiteral("7");
    autoCheck.SpinEdit1Change();
    EXPECT_EQ(autoCheck.countdown(), 10);
    EXPECT_EQ(controls.countdownText, u"10");
    EXPECT_TRUE(timer.active);
    EXPECT_EQ(savedValue(settingskey::Interval), u"7");

    controls.interval = QStringLiteral("10"); // the control's own correction on leaving it
    autoCheck.SpinEdit1Change();
    EXPECT_EQ(savedValue(settingskey::Interval), u"10");
}

TEST_F(Automatic, ChangesDuringAnAutomaticRunNeverStartASecondOneInsideIt)
{
    controls.interval = QStringLiteral("10");
    switchOn();
    checker.during[QStringLiteral("a")] = [this] {
        controls.interval = QStringLiteral("20");
        autoCheck.SpinEdit1Change();
        EXPECT_FALSE(timer.active);
        controls.checked = false;
        autoCheck.CheckBox1Click();
        controls.checked = true;
        autoCheck.CheckBox1Click();
        EXPECT_FALSE(timer.active);
    };
    tick(10);
    EXPECT_TRUE(timer.active) << "the run's end starts the countdown";
    EXPECT_EQ(autoCheck.countdown(), 20);
}

TEST_F(Automatic, AFailedSettingsRewriteIsShownAfterTheChangeIsMade)
{
    SettingsFile unwritable(QStringLiteral("/proc/no-such-folder/settings.ini"), IniDocument());
    AutoCheck broken{AutoCheckServices{commands, controls, timer, window, pump, unwritable}};
    controls.checked = true;
    broken.CheckBox1Click();
    EXPECT_TRUE(timer.active);
    ASSERT_FALSE(events.isEmpty());
    EXPECT_TRUE(events.last().startsWith(u"error ")) << events.last().toStdString();
}

} // namespace
