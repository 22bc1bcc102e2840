#include "app/autostart.h"
#include "app/lifecycle.h"
#include "app/mainwindow.h"
#include "app/platformservices.h"
#include "dialogs/feedbackpost.h"
#include "dialogs/messageboxes.h"
#include "text/versioninfo.h"
#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QString title = sentrel::readVersionInfo().ProductName;
    QApplication::setApplicationName(title);
    // Lets the desktop match the window to the installed menu entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("sentrel"));

    sentrel::QtMessageBoxes boxes;
    sentrel::QtFileDialogs fileDialogs;
    sentrel::QtDesktopShell shell;
    sentrel::QtNotificationPlatform notifications(shell);
    sentrel::XdgAutostart autostart;
    sentrel::CurlFormPoster poster;
    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();
    sentrel::AppEnvironment environment{QCoreApplication::applicationDirPath(),
                                        QString(),
                                        title,
                                        boxes,
                                        fileDialogs,
                                        shell,
                                        notifications,
                                        autostart};
    environment.arguments = arguments;
    environment.executablePath = QCoreApplication::applicationFilePath();
    environment.feedbackPoster = &poster;
    environment.restartProgram = sentrel::restartRunningExecutable;
    sentrel::TAppForm window(std::move(environment));
    boxes.setParent(&window);
    window.show();
    return app.exec();
}
