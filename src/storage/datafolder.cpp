#include "storage/datafolder.h"
#include "storage/programfiles.h"
#include "text/versioninfo.h"
#include <QDir>
#include <QFile>

#ifdef Q_OS_WIN
#include <qt_windows.h>
#include <shlobj.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace sentrel {

namespace {

QString withSeparator(QString path)
{
    if (!path.endsWith(u'/'))
        path += u'/';
    return path;
}

} // namespace

#ifdef Q_OS_WIN

bool SystemDataFolder::probeNewFile(const QString &path)
{
    // Not shared and deleted by the system when the handle closes, so a probe
    // never lingers and never collides with another program's file.
    const HANDLE h = CreateFileW(reinterpret_cast<LPCWSTR>(QDir::toNativeSeparators(path).utf16()),
                                 GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                 FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(h);
    return true;
}

QString SystemDataFolder::userDataRoot()
{
    wchar_t buffer[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, buffer)))
        return {};
    return QDir::fromNativeSeparators(QString::fromWCharArray(buffer));
}

#else

bool SystemDataFolder::probeNewFile(const QString &path)
{
    // O_EXCL makes a stale probe (or anything else of that name) fail the
    // test; unlinking while the file is still open is as close as POSIX gets
    // to delete-on-close, so nothing is left behind even by a crash right here.
    const QByteArray native = QFile::encodeName(path);
    const int fd = ::open(native.constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    ::unlink(native.constData());
    ::close(fd);
    return true;
}

QString SystemDataFolder::userDataRoot()
{
    QString xdg = qEnvironmentVariable("XDG_DATA_HOME");
    if (!xdg.isEmpty() && QDir::isAbsolutePath(xdg))
        return xdg;
    const QString home = qEnvironmentVariable("HOME");
    if (home.isEmpty() || !QDir::isAbsolutePath(home))
        return {};
    return withSeparator(home) + QStringLiteral(".local/share");
}

#endif

void SystemDataFolder::makeFolder(const QString &path)
{
    QDir().mkpath(path);
}

QString PerUserDataFolder(DataFolderSystem &system)
{
    const TEXEVersionData v = readVersionInfo();
    const QString root = system.userDataRoot();
    const QString company = withSeparator(root.isEmpty() ? QDir::rootPath() : root) + v.CompanyName;
    const QString folder = withSeparator(company) + v.ProductName;
    system.makeFolder(company);
    system.makeFolder(folder);
    return withSeparator(folder);
}

QString ChooseDataFolder(const QString &executableDir, DataFolderSystem &system)
{
    if (!executableDir.isEmpty() && !IsInstalledProgram(executableDir)) {
        QString dir = withSeparator(QDir(executableDir).absolutePath());
        if (system.probeNewFile(dir + QString::fromUtf16(ProbeFileName)))
            return dir;
    }
    return PerUserDataFolder(system);
}

QString PerUserDataFolder()
{
    SystemDataFolder system;
    return PerUserDataFolder(system);
}

QString ChooseDataFolder(const QString &executableDir)
{
    SystemDataFolder system;
    return ChooseDataFolder(executableDir, system);
}

QString DataFolderFromOption(const QString &dataOption, const QString &executableDir)
{
    if (dataOption.isEmpty())
        return ChooseDataFolder(executableDir);
    return withSeparator(QDir(dataOption).absolutePath());
}

} // namespace sentrel
