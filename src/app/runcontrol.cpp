#include "app/runcontrol.h"
#include "app/runlockgate.h"
#include "check/autocheck.h"
#include "check/checkrun.h"
#include <QAction>
#include <QApplication>
#include <QStyle>

namespace sentrel {

// The controls show a run from its start to its end, also an end by an error.
class RunControl::Running {
public:
    explicit Running(RunControl &control) : control_(control)
    {
        if (control_.depth_++ == 0)
            control_.showRunning(true);
    }
    ~Running()
    {
        if (--control_.depth_ == 0)
            control_.showRunning(false);
    }
    Running(const Running &) = delete;
    Running &operator=(const Running &) = delete;

private:
    RunControl &control_;
};

RunControl::RunControl(RunControlParts parts)
    : p_(parts), idleText_(p_.checkAll.text()), idleToolTip_(p_.checkAll.toolTip()),
      idleIcon_(p_.checkAll.icon())
{
}

void RunControl::showRunning(bool on)
{
    p_.checkAll.setText(on ? QStringLiteral("Stop") : idleText_);
    p_.checkAll.setToolTip(on ? QStringLiteral("Stop checking after the current URL") : idleToolTip_);
    p_.checkAll.setIcon(on ? QApplication::style()->standardIcon(QStyle::SP_BrowserStop) : idleIcon_);
    p_.checkUrl.setEnabled(!on);
}

void RunControl::runExclusively(const std::function<void()> &run)
{
    {
        Running running(*this);
        p_.lock.around(run);
    }
    startWaitingAutoRun();
}

void RunControl::checkAllClicked(const std::function<void()> &run)
{
    if (running()) {
        p_.runs.requestStop();
        return;
    }
    runExclusively(run);
}

void RunControl::checkUrlClicked(const std::function<void()> &run)
{
    // The disabled menu item cannot be chosen; a shortcut or code could.
    if (running())
        return;
    runExclusively(run);
}

void RunControl::timerTick()
{
    const bool startsRun = p_.autoCheck.countdown() <= 1;
    if (!startsRun) {
        p_.lock.around([this] { p_.autoCheck.TimerAutoTimer(); });
        return;
    }
    if (running()) {
        // The countdown stands at its last second until the run ends.
        p_.autoTimer.stop();
        autoRunWaiting_ = true;
        return;
    }
    runExclusively([this] { p_.autoCheck.TimerAutoTimer(); });
}

void RunControl::startWaitingAutoRun()
{
    if (!autoRunWaiting_ || running())
        return;
    autoRunWaiting_ = false;
    // Unchecked meanwhile, or restarted by a new interval: the countdown
    // goes on as the user left it.
    if (!p_.autoCheckControls.autoCheckChecked() || p_.autoTimer.isActive())
        return;
    timerTick();
}

} // namespace sentrel
