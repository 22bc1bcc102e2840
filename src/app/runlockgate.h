#pragma once
#include "check/runports.h"
#include "storage/runlock.h"
#include <QString>
#include <functional>
#include <memory>

namespace sentrel {

// The desktop program's side of the data folder's run lock: its runs hold
// the lock from their first check until the command that started them ends,
// so that a check run of sentrel-cli on the same folder waits for them, and
// they never check a list such a run is checking. Runs nested in one (started
// while it lets messages through) share its lock.
//
// The window never waits for the lock: when another program holds it, the
// first check of the run throws, so the run ends there with the error box
// naming the cause, as for any error of a run; automatic checking goes on
// and tries again at its next countdown.
class RunLockGate final : public RowChecker {
public:
    RunLockGate(RowChecker &checker, std::function<QString()> dataFolder)
        : checker_(checker), dataFolder_(std::move(dataFolder))
    {
    }

    // Runs `command` (a run's button or menu item, or a tick of the automatic
    // check timer) with the lock let go when it ends, if it took it.
    void around(const std::function<void()> &command);

    // Takes the lock before the check. Outside around() (runs started by code
    // of their own) it is held for this one check only. Throws Error when
    // another program holds it.
    CheckOutcome check(RowId row) override;
    void runStarting(const QStringList &urls) override { checker_.runStarting(urls); }
    void runEnded() override { checker_.runEnded(); }

    bool holdsLock() const { return lock_ != nullptr; }

private:
    void takeLock();

    RowChecker &checker_;
    std::function<QString()> dataFolder_;
    std::unique_ptr<RunLock> lock_;
    int depth_ = 0; // commands under way, nested ones counted
};

// The message of a run that found the lock held.
QString runLockHeldMessage();

} // namespace sentrel
