#pragma once
#include "check/checkports.h"
#include "check/runcommands.h"
#include "check/runtimer.h"
#include <QString>

// Automatic checking: a "Check All" run every time a countdown of the chosen
// number of seconds runs out. Three states: off (box unchecked, timer off,
// countdown hidden), counting (timer ticking), running (timer off, the
// countdown showing 0).
namespace sentrel {

class SettingsFile;

namespace runtext {
inline constexpr char16_t AutoChecking[] = u"Auto Checking...";
inline constexpr char16_t AutoCheckComplete[] = u"Auto Check Complete";
} // namespace runtext

// The controls of the interval bar.
class AutoCheckControls {
public:
    virtual ~AutoCheckControls() = default;
    virtual bool autoCheckChecked() const = 0;    // the "Auto Check" box
    virtual QString intervalText() const = 0;     // the interval control's text
    virtual void setIntervalEnabled(bool on) = 0; // the "Interval (sec):" label and the control
    virtual void setCountdownText(const QString &text) = 0;
    virtual void setCountdownVisible(bool visible) = 0;
};

struct AutoCheckServices {
    RunCommands &runs; // its Check All with the ending
    AutoCheckControls &controls;
    RunTimer &timer;
    RunWindow &window;
    EventPump &pump;
    SettingsFile &settings;
};

class AutoCheck {
public:
    explicit AutoCheck(AutoCheckServices services) : s_(services) {}

    // After the "Auto Check" box changed (also at start-up when AutoCheck is "ON").
    void CheckBox1Click();
    // On every change of the interval control's text.
    void SpinEdit1Change();
    // Every tick of the timer.
    void TimerAutoTimer();

    int countdown() const { return countdown_; }
    bool running() const { return running_; }

private:
    void restartCountdown();

    AutoCheckServices s_;
    int countdown_ = 0;
    bool running_ = false; // an automatic run is under way
};

} // namespace sentrel
