#include "storage/datafolder.h"
#include "text/versioninfo.h"
#include <QDir>
#include <QFile>
#include <QStandardPaths>

namespace sentrel {

namespace {
QString withSeparator(QString path)
{
    if (!path.endsWith(u'/'))
        path += u'/';
    return path;
}

bool canCreateFileIn(const QString &dir)
{
    QFile probe(withSeparator(dir) + QStringLiteral("chk.tmp"));
    if (!probe.open(QIODevice::ReadWrite | QIODevice::NewOnly))
        return false;
    probe.close();
    probe.remove();
    return true;
}
} // namespace

QString PerUserDataFolder()
{
    const VersionInfo v = readVersionInfo();
    QString base = qEnvironmentVariable("XDG_DATA_HOME");
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        base = QDir::homePath() + QStringLiteral("/.local/share");
    QDir(base).mkpath(v.companyName + u'/' + v.productName);
    return withSeparator(base) + v.companyName + u'/' + v.productName + u'/';
}

QString ChooseDataFolder(const QString &executableDir)
{
    if (!executableDir.isEmpty() && canCreateFileIn(executableDir))
        return withSeparator(QDir(executableDir).absolutePath());
    return PerUserDataFolder();
}

} // namespace sentrel
