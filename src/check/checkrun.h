#pragma once
#include "check/checkports.h"
#include "check/runports.h"
#include <QList>
#include <QStringList>
#include <functional>

// The "Check URL" and "Check All" runs: the rows are checked one after the
// other with messages let through between them; the run's outcome is
// returned for the caller to show or print.
namespace sentrel {

namespace runtext {
inline constexpr char16_t Complete[] = u"Complete";
inline constexpr char16_t NoChangeDetected[] = u"No Change Detected";
} // namespace runtext

struct RunServices {
    UrlListModel &list;
    // The rows "Check URL" checks, read when its checks begin (the desktop's
    // selection, sentrel-cli's URL arguments).
    std::function<QList<RowId>()> selection;
    RowChecker &checker;
    EventPump &pump;
    // Shared by the runs of a window: each run empties it and appends its
    // changed URLs, so a run nested in another one empties the outer's too.
    QStringList &changedUrls;
    // Called once the statuses are emptied, before the first check (the
    // desktop hides its content preview); may be empty.
    std::function<void()> starting;
};

class CheckRuns {
public:
    explicit CheckRuns(RunServices services) : s_(std::move(services)) {}

    // "Check URL" and "Check All". An error that a check does not catch
    // ends the run at that row and passes to the caller. Runs may nest (a
    // command handled while messages are let through starts one); each
    // keeps its own loop position. "Check All" reads the number of rows anew
    // before every row, so rows added meanwhile are checked too; "Check URL"
    // checks its rows by identity and passes over those deleted meanwhile.
    RunOutcome checkSelected();
    RunOutcome checkAll();

    // Closing the window: a "Check All" run under way finishes the row it is
    // checking, passes over the rest and ends as usual.
    void requestStop() { stop_ = true; }
    bool stopRequested() const { return stop_; }

private:
    void start();
    // Tells the checker of the run's start and, however it ends, its end.
    template <typename Checks> RunOutcome around(const QStringList &urls, Checks checks);
    // One row of either run: its check and the window's turn.
    void checkRow(RowId row, RunOutcome &outcome);
    RunOutcome finish(RunOutcome outcome, const char16_t *statusText) const;

    RunServices s_;
    bool stop_ = false;
};

// The message of an error as the error box shows it.
QString errorMessage(const std::exception &e);

} // namespace sentrel
