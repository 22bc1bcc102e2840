#pragma once
#include <QIcon>
#include <QString>
#include <functional>

class QAction;

namespace sentrel {

class AutoCheck;
class AutoCheckControls;
class CheckRuns;
class RunLockGate;
class RunTimer;

struct RunControlParts {
    QAction &checkAll; // the toolbar's "Check All", "Stop" while a run is under way
    QAction &checkUrl; // the list menu's "Check URL", disabled while a run is under way
    CheckRuns &runs;
    RunLockGate &lock;
    AutoCheck &autoCheck;
    const AutoCheckControls &autoCheckControls;
    RunTimer &autoTimer;
};

// The window's one run at a time. A run lets messages through while its pages
// download, so every command stays clickable during it; a second run started
// from there would fetch every page again and interleave its log lines with
// the first's. So while a run is under way "Check All" becomes "Stop" (the
// run ends after the check in progress), "Check URL" is disabled, and an
// automatic countdown that runs out waits for the run to end.
class RunControl {
public:
    explicit RunControl(RunControlParts parts);

    bool running() const { return depth_ > 0; }

    // The toolbar button: `run` under the data folder's lock, or during a
    // run, the request that it stops.
    void checkAllClicked(const std::function<void()> &run);
    // "Check URL": `run` under the lock; nothing during a run.
    void checkUrlClicked(const std::function<void()> &run);
    // Every tick of the automatic-check timer.
    void timerTick();

private:
    class Running;
    // Runs `run` as the window's run: the controls show it from start to end.
    void runExclusively(const std::function<void()> &run);
    void showRunning(bool on);
    void startWaitingAutoRun();

    RunControlParts p_;
    QString idleText_;
    QString idleToolTip_;
    QIcon idleIcon_;
    int depth_ = 0;
    bool autoRunWaiting_ = false;
};

} // namespace sentrel
