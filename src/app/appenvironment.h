#pragma once
#include "check/pageloaders.h"
#include <QString>
#include <QStringList>
#include <functional>

class QWidget;

// What the main window needs from outside itself: the folders, the message
// boxes, the file dialogs, the shell and the notification services. The
// program passes the real ones (platformservices.h); tests answer them.
namespace sentrel {

class AutostartStore;
class FormPoster;
class MessageBoxes;
class NotificationPlatform;

class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    // `filter` is written "Description|*.ext|Description|*.ext". Each returns
    // the chosen file's full path, or "" when the user cancels.
    virtual QString openFile(QWidget *parent, const QString &defaultSuffix, const QString &filter) = 0;
    // Asks before an existing file is overwritten.
    virtual QString saveFile(QWidget *parent, const QString &defaultSuffix, const QString &filter) = 0;
};

// The shell's "open" verb: the default browser for a web address. False
// when nothing could open it (no browser).
class DesktopShell {
public:
    virtual ~DesktopShell() = default;
    virtual bool openUrl(const QString &url) = 0;
};

struct AppEnvironment {
    QString executableDir;    // language files, the store template, the data-folder probe
    QString dataFolder;       // empty: chosen at start-up from executableDir
    QString applicationTitle; // caption of plain boxes and of the error box
    MessageBoxes &boxes;
    FileDialogs &fileDialogs;
    DesktopShell &shell;
    NotificationPlatform &notifications;
    AutostartStore &autostart;                 // the entry that starts the program at logon
    QStringList arguments = {};                // the command line after the program name ("/auto")
    QString executablePath = {};               // what the autostart entry starts
    FormPoster *feedbackPoster = nullptr;      // none: "Send Feedback..." does nothing
    std::function<void()> restartProgram = {}; // Reset to Defaults; none: the program only ends
    DownloadFunction download = pageDownload();
};

} // namespace sentrel
