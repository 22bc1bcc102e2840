#pragma once
#include <QObject>
#include <functional>

#include "app/startup.h"

class QIcon;
class QSystemTrayIcon;
class QWidget;

namespace sentrel {

// The notification-area icon of the main window: hidden except while the
// window is hidden there; no menu; a click brings the window back.
class TrayController : public QObject {
public:
    // `minimizeToTray` is read at each minimize ("Minimize to System Tray");
    // `trayAvailable` tells whether the desktop shows tray icons at all.
    TrayController(QWidget &window, const QIcon &icon, std::function<bool()> minimizeToTray,
                   std::function<bool()> trayAvailable = systemTrayAvailable);
    static bool systemTrayAvailable();
    ~TrayController() override;

    // SistemTepsisineKucult: hide the window, mark it minimized, show the
    // icon with the window title as its hint. Without a tray on the desktop
    // a hidden window could never be brought back, so it is only minimized.
    void SistemTepsisineKucult();
    // TrayIcon1Click: show the window in the normal state (also when it was
    // maximized before), bring it to the front, hide the icon.
    void restore();

    QSystemTrayIcon &icon() const { return *icon_; }

protected:
    // Watches the window: minimizing it while the option is on hides it.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget &window_;
    QSystemTrayIcon *icon_;
    std::function<bool()> minimizeToTray_;
    std::function<bool()> trayAvailable_;
    bool hiding_ = false;
};

// TimerParamTimer's action on the window: hide to the tray or minimize to
// the taskbar.
void applyStartupWindowAction(StartupWindowAction action, TrayController &tray, QWidget &window);

} // namespace sentrel
