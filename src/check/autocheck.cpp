#include "check/autocheck.h"
#include "check/interval.h"
#include "storage/settingskeys.h"

namespace sentrel {

void AutoCheck::restartCountdown()
{
    countdown_ = countdownSeconds(s_.controls.intervalText());
    s_.controls.setCountdownText(QString::number(countdown_));
}

void AutoCheck::CheckBox1Click()
{
    const bool checked = s_.controls.autoCheckChecked();
    s_.controls.setIntervalEnabled(checked);
    try {
        if (checked) {
            restartCountdown();
            s_.controls.setCountdownVisible(true);
            // During an automatic run the run's end starts the countdown;
            // starting it here could let a second automatic run begin inside
            // the first.
            if (!running_)
                s_.timer.start();
            writeAutoCheck(s_.settings, true);
        } else {
            s_.timer.stop();
            s_.controls.setCountdownVisible(false);
            s_.window.setStatusText(QString());
            writeAutoCheck(s_.settings, false);
        }
    } catch (const std::exception &e) {
        s_.window.showError(errorMessage(e));
    }
}

void AutoCheck::SpinEdit1Change()
{
    try {
        s_.timer.stop();
        restartCountdown();
        if (!running_)
            s_.timer.start();
        writeInterval(s_.settings, intervalControlValue(s_.controls.intervalText()));
    } catch (const std::exception &e) {
        s_.window.showError(errorMessage(e));
    }
}

void AutoCheck::TimerAutoTimer()
{
    --countdown_;
    s_.controls.setCountdownText(QString::number(countdown_));
    if (countdown_ > 0)
        return;
    s_.timer.stop();
    running_ = true;
    s_.window.setStatusText(QString::fromUtf16(runtext::AutoChecking));
    s_.pump.letMessagesThrough();
    try {
        s_.runs.checkAllAndShow();
        s_.window.setStatusText(QString::fromUtf16(runtext::AutoCheckComplete));
    } catch (const std::exception &e) {
        // The run ends; automatic checking goes on.
        s_.window.showError(errorMessage(e));
    }
    running_ = false;
    if (s_.controls.autoCheckChecked()) {
        countdown_ = countdownSeconds(s_.controls.intervalText());
        s_.timer.start();
    }
}

} // namespace sentrel
