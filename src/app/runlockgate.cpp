#include "app/runlockgate.h"
#include "text/error.h"

namespace sentrel {

QString runLockHeldMessage()
{
    return QStringLiteral("Another program (sentrel-cli check) is checking this URL list. "
                          "Try again when it has finished.");
}

void RunLockGate::around(const std::function<void()> &command)
{
    ++depth_;
    struct Leave {
        RunLockGate &gate;
        ~Leave()
        {
            if (--gate.depth_ == 0)
                gate.lock_.reset();
        }
    } leave{*this};
    command();
}

void RunLockGate::takeLock()
{
    if (lock_)
        return;
    lock_ = RunLock::tryTake(dataFolder_());
    if (!lock_)
        throw Error(runLockHeldMessage());
}

CheckOutcome RunLockGate::check(RowId row)
{
    takeLock();
    if (depth_ > 0) {
        return checker_.check(row);
    }
    struct Release {
        std::unique_ptr<RunLock> &lock;
        ~Release() { lock.reset(); }
    } release{lock_};
    return checker_.check(row);
}

} // namespace sentrel
