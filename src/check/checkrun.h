#pragma once
#include "check/checkports.h"
#include "check/runports.h"
#include <QStringList>

// The "Check URL" and "Check All" runs: the window is prepared, the rows are
// checked one after the other with messages let through between them, the
// outcome goes to the status bar and the changed URLs to the notifications.
namespace sentrel {

namespace runtext {
inline constexpr char16_t Complete[] = u"Complete";
inline constexpr char16_t NoChangeDetected[] = u"No Change Detected";
} // namespace runtext

struct RunServices {
    CheckRows &rows;
    RowChecker &checker;
    EventPump &pump;
    RunWindow &window;
    ChangeNotifier &notifier;
    QStringList &changedUrls; // the same list the checks append to
    RunObserver *observer = nullptr;
};

class CheckRuns {
public:
    explicit CheckRuns(RunServices services) : s_(services) {}

    // The menu command "Check URL" and the toolbar button "Check All". An
    // error that a check does not catch ends the run at that row and is
    // shown in the error box; the status bar keeps the check's text and no
    // notification is given.
    void CheckURL1Click();
    void ToolButton1Click();

    // The same runs, letting such an error pass to the caller. Runs may nest
    // (a command handled while messages are let through starts one); each
    // keeps its own loop position and reads the number of rows anew before
    // every row.
    void checkSelected();
    void checkAll();

    // Closing the window: a "Check All" run under way finishes the row it is
    // checking, passes over the rest and ends as usual.
    void requestStop() { stop_ = true; }
    bool stopRequested() const { return stop_; }

private:
    void reportError(const std::exception &e);
    // One row of either run: its check, the observer, and the window's turn.
    void checkRow(int row);

    RunServices s_;
    bool stop_ = false;
};

// The message of an error as the error box shows it.
QString errorMessage(const std::exception &e);

} // namespace sentrel
