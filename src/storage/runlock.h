#pragma once
#include <QString>
#include <cstdint>
#include <memory>

// The lock a run of checks holds on its data folder while it checks, so that
// two runs never check one list at the same time: both would compare a page
// with the same stored text and report one change twice. It is an operating
// system lock on an open file of the folder, so the kernel lets go of it when
// its holder ends in any way, killed included; a lock file left behind by a
// dead run locks nothing. (A lock that names its holder's process id would
// not do: in a container every run may be process 1.)
namespace sentrel {

inline constexpr char16_t RunLockFileName[] = u"run.lock";

class RunLock {
public:
    // The lock of `dataFolder` (ending in a separator), or nullptr at once
    // when another run holds it. Throws Error when the lock file can be
    // neither opened nor created.
    static std::unique_ptr<RunLock> tryTake(const QString &dataFolder);
    // The lock, waiting for as long as another run holds it.
    static std::unique_ptr<RunLock> take(const QString &dataFolder);

    ~RunLock(); // lets go of the lock
    RunLock(const RunLock &) = delete;
    RunLock &operator=(const RunLock &) = delete;

private:
    explicit RunLock(std::intptr_t handle) : handle_(handle) {}
    static std::unique_ptr<RunLock> lock(const QString &dataFolder, bool wait);

    std::intptr_t handle_; // the open lock file: a file descriptor, or a Windows HANDLE
};

} // namespace sentrel
