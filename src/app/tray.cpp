#include "app/tray.h"
#include <QEvent>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QWidget>

namespace sentrel {

bool TrayController::systemTrayAvailable()
{
    return QSystemTrayIcon::isSystemTrayAvailable();
}

TrayController::TrayController(QWidget &window, const QIcon &icon, std::function<bool()> minimizeToTray,
                               std::function<bool()> trayAvailable)
    : QObject(&window), window_(window), icon_(new QSystemTrayIcon(icon, this)),
      minimizeToTray_(std::move(minimizeToTray)), trayAvailable_(std::move(trayAvailable))
{
    connect(icon_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick)
            restore();
    });
    window_.installEventFilter(this);
}

TrayController::~TrayController()
{
    window_.removeEventFilter(this);
}

void TrayController::SistemTepsisineKucult()
{
    if (trayAvailable_ && !trayAvailable_()) {
        if (!window_.isMinimized())
            window_.showMinimized();
        return;
    }
    hiding_ = true;
    window_.hide();
    window_.setWindowState((window_.windowState() & ~Qt::WindowActive) | Qt::WindowMinimized);
    hiding_ = false;
    icon_->setToolTip(window_.windowTitle());
    icon_->show();
}

void TrayController::restore()
{
    window_.setWindowState(window_.windowState() &
                           ~(Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen));
    window_.show();
    window_.raise();
    window_.activateWindow();
    icon_->hide();
}

bool TrayController::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == &window_ && event->type() == QEvent::WindowStateChange && !hiding_ &&
        window_.isMinimized() && window_.isVisible() && minimizeToTray_ && minimizeToTray_()) {
        // Hiding inside the state change confuses some window managers; do
        // it once the change is through.
        QTimer::singleShot(0, this, [this] {
            if (window_.isMinimized() && window_.isVisible())
                SistemTepsisineKucult();
        });
    }
    return QObject::eventFilter(watched, event);
}

void applyStartupWindowAction(StartupWindowAction action, TrayController &tray, QWidget &window)
{
    switch (action) {
    case StartupWindowAction::HideToTray:
        tray.SistemTepsisineKucult();
        break;
    case StartupWindowAction::Minimize:
        window.showMinimized();
        break;
    case StartupWindowAction::None:
        break;
    }
}

} // namespace sentrel
