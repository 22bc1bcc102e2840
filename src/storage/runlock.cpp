#include "storage/runlock.h"
#include "text/error.h"
#include <QDir>
#include <QFile>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

namespace sentrel {

namespace {

[[noreturn]] void throwOpenFailure(const QString &path, const QString &reason)
{
    throw Error(
        QStringLiteral("Cannot open the lock file \"%1\": %2").arg(QDir::toNativeSeparators(path), reason));
}

} // namespace

#ifdef Q_OS_WIN

std::unique_ptr<RunLock> RunLock::lock(const QString &dataFolder, bool wait)
{
    const QString path = dataFolder + QString::fromUtf16(RunLockFileName);
    HANDLE file = CreateFileW(reinterpret_cast<LPCWSTR>(path.utf16()), GENERIC_READ | GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        throwOpenFailure(path, QStringLiteral("error %1").arg(GetLastError()));
    OVERLAPPED whole{};
    const DWORD flags = LOCKFILE_EXCLUSIVE_LOCK | (wait ? 0 : LOCKFILE_FAIL_IMMEDIATELY);
    if (!LockFileEx(file, flags, 0, MAXDWORD, MAXDWORD, &whole)) {
        const DWORD error = GetLastError();
        CloseHandle(file);
        if (!wait && error == ERROR_LOCK_VIOLATION)
            return nullptr;
        throwOpenFailure(path, QStringLiteral("error %1").arg(error));
    }
    return std::unique_ptr<RunLock>(new RunLock(reinterpret_cast<std::intptr_t>(file)));
}

RunLock::~RunLock()
{
    // Closing the handle lets go of its lock.
    CloseHandle(reinterpret_cast<HANDLE>(handle_));
}

#else

std::unique_ptr<RunLock> RunLock::lock(const QString &dataFolder, bool wait)
{
    const QString path = dataFolder + QString::fromUtf16(RunLockFileName);
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0)
        throwOpenFailure(path, QString::fromLocal8Bit(std::strerror(errno)));
    // flock, not fcntl: an fcntl lock belongs to the process, so it would not
    // keep out a second run of the same process (nested runs of the desktop
    // program), and closing any other descriptor of the file would let go of it.
    int rc;
    do
        rc = ::flock(fd, LOCK_EX | (wait ? 0 : LOCK_NB));
    while (rc != 0 && errno == EINTR);
    if (rc != 0) {
        const int error = errno;
        ::close(fd);
        if (error == EWOULDBLOCK)
            return nullptr;
        throwOpenFailure(path, QString::fromLocal8Bit(std::strerror(error)));
    }
    return std::unique_ptr<RunLock>(new RunLock(fd));
}

RunLock::~RunLock()
{
    // Closing the descriptor lets go of its lock.
    ::close(int(handle_));
}

#endif

std::unique_ptr<RunLock> RunLock::tryTake(const QString &dataFolder)
{
    return lock(dataFolder, false);
}

std::unique_ptr<RunLock> RunLock::take(const QString &dataFolder)
{
    return lock(dataFolder, true);
}

} // namespace sentrel
