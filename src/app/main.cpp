#include "app/mainwindow.h"
#include "app/platformservices.h"
#include "dialogs/messageboxes.h"
#include "text/versioninfo.h"
#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QString title = sentrel::readVersionInfo().ProductName;
    QApplication::setApplicationName(title);

    sentrel::QtMessageBoxes boxes;
    sentrel::QtFileDialogs fileDialogs;
    sentrel::QtDesktopShell shell;
    sentrel::QtNotificationPlatform notifications(shell);
    sentrel::TAppForm window(sentrel::AppEnvironment{QCoreApplication::applicationDirPath(), QString(), title, boxes,
                                                     fileDialogs, shell, notifications});
    boxes.setParent(&window);
    window.show();
    return app.exec();
}
