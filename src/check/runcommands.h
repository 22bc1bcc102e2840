#pragma once
#include "check/checkrun.h"
#include <functional>

// The desktop's "Check URL" and "Check All" commands: a run, then its
// outcome shown. sentrel-cli prints the outcome instead.
namespace sentrel {

struct RunCommandServices {
    CheckRuns &runs;
    RunWindow &window;
    ChangeNotifier &notifier;
    std::function<void()> beep; // the simple beep of an OK message box
};

class RunCommands {
public:
    explicit RunCommands(RunCommandServices services) : s_(std::move(services)) {}

    // The menu command and the toolbar button. An error that ends the run is
    // shown in the error box; the status bar keeps the check's text and no
    // notification is given.
    void CheckURL1Click();
    void ToolButton1Click();

    // "Check All" and its ending, letting an error pass (automatic checking
    // shows it itself and goes on).
    void checkAllAndShow();

    // The ending of a run: with nothing checked, the beep of an OK box and no
    // more; else the run's text in the status bar, then its notifications.
    void show(const RunOutcome &outcome);

private:
    RunCommandServices s_;
};

} // namespace sentrel
