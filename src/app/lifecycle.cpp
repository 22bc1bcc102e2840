#include "app/lifecycle.h"
#include "storage/exclusions.h"
#include "storage/settings.h"
#include "storage/websitedb.h"
#include "uimodel/messages.h"
#include <QCoreApplication>
#include <QFile>
#include <QProcess>

namespace sentrel {

QStringList resetFiles(const QString &dataFolder)
{
    QStringList files = storeFiles(dataFolder);
    files.append(dataFolder + QString::fromUtf16(ExclusionsFileName));
    files.append(dataFolder + QString::fromUtf16(SettingsFileName));
    return files;
}

bool resetToDefaults(MessageBoxes &boxes, const Translator &translator, const QString &dataFolder,
                     ResetActions &actions)
{
    if (!askRestart(boxes, translator))
        return false;
    actions.clearStartupComplete();
    actions.closeStore();
    for (const QString &file : resetFiles(dataFolder))
        QFile::remove(file); // a file that stays is found by the new instance
    actions.processPendingEvents();
    actions.restartExecutable();
    actions.quit();
    return true;
}

void restartRunningExecutable()
{
    QProcess::startDetached(QCoreApplication::applicationFilePath(), {});
}

} // namespace sentrel

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace sentrel {

// Not `= default`: on Windows the marker is a named mutex made here.
InstanceMarker::InstanceMarker() // NOLINT(modernize-use-equals-default)
{
#ifdef Q_OS_WIN
    handle_ = CreateMutexW(nullptr, FALSE, L"ORLITH_Sentrel");
#endif
}

InstanceMarker::~InstanceMarker() // NOLINT(modernize-use-equals-default): closes the mutex on Windows
{
#ifdef Q_OS_WIN
    if (handle_ != nullptr)
        CloseHandle(handle_);
#endif
}

} // namespace sentrel
