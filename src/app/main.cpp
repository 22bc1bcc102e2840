#include "app/mainwindow.h"
#include "text/versioninfo.h"
#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(sentrel::readVersionInfo().ProductName);
    sentrel::TAppForm window;
    window.show();
    return app.exec();
}
