#include "app/mainwindow.h"
#include "text/versioninfo.h"

namespace sentrel {

TAppForm::TAppForm(QWidget *parent) : QMainWindow(parent)
{
    setWindowTitle(readVersionInfo().windowTitle());
    resize(736, 532);
}

} // namespace sentrel
