#include "app/tray.h"
#include <QCoreApplication>
#include <QIcon>
#include <QPixmap>
#include <QSystemTrayIcon>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

using namespace sentrel;

namespace {
QIcon someIcon()
{
    QPixmap p(16, 16);
    p.fill(Qt::darkCyan);
    return QIcon(p);
}
} // namespace

TEST(Tray, HideShowsIconWithTitleAndClickRestoresNormal)
{
    QWidget window;
    window.setWindowTitle(QStringLiteral("Orlith - Sentrel"));
    window.showMaximized();
    TrayController tray(
        window, someIcon(), [] { return true; }, [] { return true; });
    EXPECT_FALSE(tray.icon().isVisible());

    tray.SistemTepsisineKucult();
    EXPECT_FALSE(window.isVisible());
    EXPECT_TRUE(window.windowState() & Qt::WindowMinimized);
    EXPECT_TRUE(tray.icon().isVisible());
    EXPECT_EQ(tray.icon().toolTip(), QStringLiteral("Orlith - Sentrel"));

    Q_EMIT tray.icon().activated(QSystemTrayIcon::Trigger);
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.windowState() & (Qt::WindowMinimized | Qt::WindowMaximized), Qt::WindowNoState);
    EXPECT_FALSE(tray.icon().isVisible());
}

TEST(Tray, MinimizingHidesOnlyWithTheOption)
{
    for (bool option : {false, true}) {
        SCOPED_TRACE(option);
        QWidget window;
        window.show();
        TrayController tray(
            window, someIcon(), [&] { return option; }, [] { return true; });
        window.setWindowState(Qt::WindowMinimized);
        QCoreApplication::processEvents(); // the tray reacts in a zero timer
        EXPECT_EQ(window.isVisible(), !option);
        EXPECT_EQ(tray.icon().isVisible(), option);
    }
}

TEST(Tray, WithoutATrayTheWindowIsMinimizedNotLost)
{
    QWidget window;
    window.show();
    TrayController tray(
        window, someIcon(), [] { return true; }, [] { return false; });
    tray.SistemTepsisineKucult();
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(window.isMinimized());
    EXPECT_FALSE(tray.icon().isVisible());
}

TEST(Tray, StartupActionsOnTheWindow)
{
    const struct {
        StartupWindowAction action;
        bool visible, minimized, icon;
    } cases[] = {{StartupWindowAction::None, true, false, false},
                 {StartupWindowAction::Minimize, true, true, false},
                 {StartupWindowAction::HideToTray, false, true, true}};
    for (const auto &c : cases) {
        SCOPED_TRACE(static_cast<int>(c.action));
        QWidget window;
        window.show();
        TrayController tray(
            window, someIcon(), [] { return false; }, [] { return true; });
        applyStartupWindowAction(c.action, tray, window);
        QCoreApplication::processEvents(); // the tray reacts in a zero timer
        EXPECT_EQ(window.isVisible(), c.visible);
        EXPECT_EQ(window.isMinimized(), c.minimized);
        EXPECT_EQ(tray.icon().isVisible(), c.icon);
    }
}
