#include "storage/programfiles.h"
#include "storage/websitedb.h"
#include <QDir>
#include <QFileInfo>

namespace sentrel {

namespace {

const QString LanguagesName = QStringLiteral("Languages");

QString templateIn(const QString &folder)
{
    return QDir(folder).filePath(QString::fromUtf16(StoreTemplateFileName));
}

} // namespace

QString InstalledFilesFolder(const QString &executableDir)
{
    if (executableDir.isEmpty())
        return {};
    return QDir::cleanPath(QDir(executableDir).absoluteFilePath(QStringLiteral("../share/sentrel")));
}

bool IsInstalledProgram(const QString &executableDir)
{
    if (executableDir.isEmpty())
        return false;
    return QFileInfo(InstalledFilesFolder(executableDir)).isDir() &&
           !QFileInfo::exists(templateIn(executableDir));
}

ProgramFiles LocateProgramFiles(const QString &executableDir)
{
    if (executableDir.isEmpty())
        return {};
    const QString exe = QDir(executableDir).absolutePath();
    const QString installed = InstalledFilesFolder(exe);
    ProgramFiles files{exe, templateIn(exe)};
    if (!QFileInfo(QDir(exe).filePath(LanguagesName)).isDir() &&
        QFileInfo(QDir(installed).filePath(LanguagesName)).isDir())
        files.languagesParent = installed;
    if (!QFileInfo::exists(files.templatePath) && QFileInfo::exists(templateIn(installed)))
        files.templatePath = templateIn(installed);
    return files;
}

} // namespace sentrel
