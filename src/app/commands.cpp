#include "app/commands.h"
#include "app/icons.h"
#include "strip/strippers.h"
#include <QAction>
#include <QActionGroup>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>

namespace sentrel {

namespace {

QAction *checkItem(QMenu *menu, const QString &caption, bool checked)
{
    QAction *action = menu->addAction(caption);
    action->setCheckable(true);
    action->setChecked(checked);
    return action;
}

QAction *toolButton(QToolBar *bar, AppIcon icon, const QString &caption, const QString &hint)
{
    QAction *action = bar->addAction(appIcon(icon), caption);
    action->setToolTip(hint);
    action->setStatusTip(hint);
    if (auto *button = qobject_cast<QToolButton *>(bar->widgetForAction(action)))
        button->setFixedSize(71, 84);
    return action;
}

} // namespace

AppCommands buildCommands(QMainWindow *window)
{
    AppCommands c{};
    QMenuBar *bar = window->menuBar();

    QMenu *file = bar->addMenu(QStringLiteral("File"));
    c.AddURLs1 = file->addAction(appIcon(AppIcon::PageAdd), QStringLiteral("Add URLs..."));
    c.LoadList1 = file->addAction(appIcon(AppIcon::PageDown), QStringLiteral("Load List..."));
    c.SaveList1 = file->addAction(appIcon(AppIcon::PageUp), QStringLiteral("Save List..."));
    file->addSeparator();
    c.Exit1 = file->addAction(appIcon(AppIcon::Exit), QStringLiteral("Exit"));

    QMenu *settings = bar->addMenu(QStringLiteral("Settings"));
    c.Autostartatstartup1 = checkItem(settings, QStringLiteral("Auto Run at Startup"), false);
    c.StartMinimized1 = checkItem(settings, QStringLiteral("Minimize at Startup"), false);
    c.StartMinimized1->setEnabled(false); // only while "Auto Run at Startup" is on
    c.MinimizetoSystemTray1 = checkItem(settings, QStringLiteral("Minimize to System Tray"), false);
    settings->addSeparator();
    c.Exclusions1 = settings->addAction(QStringLiteral("Exclusions..."));
    c.StripMethod1 = settings->addMenu(QStringLiteral("Strip Method"));
    c.stripMethods = new QActionGroup(window);
    c.stripMethods->setExclusionPolicy(QActionGroup::ExclusionPolicy::Exclusive);
    c.InternetExplorer1 = checkItem(c.StripMethod1, QStringLiteral("Internet Explorer"), true);
    c.Regex1 = checkItem(c.StripMethod1, QStringLiteral("Regex + HTML Decode"), false);
    c.StringBuilder1 = checkItem(c.StripMethod1, QStringLiteral("StringBuilder + HTML Decode"), false);
    c.InternetExplorer1->setData(int(StripMethod::Browser));
    c.Regex1->setData(int(StripMethod::Regex));
    c.StringBuilder1->setData(int(StripMethod::StringBuilder));
    for (QAction *item : {c.InternetExplorer1, c.Regex1, c.StringBuilder1})
        c.stripMethods->addAction(item);
    settings->addSeparator();
    c.ResettoDefaults1 = settings->addAction(QStringLiteral("Reset to Defaults..."));

    QMenu *help = bar->addMenu(QStringLiteral("Help"));
    c.Help2 = help->addAction(appIcon(AppIcon::Question), QStringLiteral("Online Help"));
    c.Help2->setShortcut(QKeySequence(Qt::Key_F1));
    help->addSeparator();
    c.UpdateNotifications1 = checkItem(help, QStringLiteral("Update Notifications"), true);
    c.UpdateNotifications1->setEnabled(false);
    c.UpdateNotifications1->setVisible(false);
    c.UpdateSeparator = help->addSeparator();
    c.UpdateSeparator->setVisible(false);
    c.SendFeedback1 = help->addAction(appIcon(AppIcon::Envelope), QStringLiteral("Send &Feedback..."));
    c.About1 = help->addAction(appIcon(AppIcon::Info), QStringLiteral("&About..."));

    c.PopupMenu1 = new QMenu(window);
    c.EditURL1 = c.PopupMenu1->addAction(appIcon(AppIcon::Edit), QStringLiteral("Edit..."));
    c.History1 = c.PopupMenu1->addAction(QStringLiteral("History..."));
    c.PopupMenu1->addSeparator();
    c.CheckURL1 = c.PopupMenu1->addAction(appIcon(AppIcon::Check), QStringLiteral("Check URL"));
    c.Copy1 = c.PopupMenu1->addAction(QStringLiteral("Copy URL to Clipboard"));
    c.OpenURLwithDefaultBrowser1 = c.PopupMenu1->addAction(QStringLiteral("Open URL with Default Browser"));
    c.PopupMenu1->addSeparator();
    c.Delete1 = c.PopupMenu1->addAction(QStringLiteral("Delete"));
    c.SelectAll1 = c.PopupMenu1->addAction(QStringLiteral("Select All"));

    c.ToolBar1 = window->addToolBar(QStringLiteral("Toolbar"));
    c.ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    c.ToolBar1->setMovable(false);
    c.ToolBar1->setFloatable(false);
    c.ToolBar1->setContextMenuPolicy(Qt::PreventContextMenu);
    c.ToolBar1->setIconSize(QSize(64, 64));
    c.ToolBar1->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    c.ToolButton3 = toolButton(c.ToolBar1, AppIcon::PageAdd, QStringLiteral("Add URLs"),
                               QStringLiteral("Add URLs to the list"));
    c.ToolButton2 = toolButton(c.ToolBar1, AppIcon::PageDown, QStringLiteral("Load List"),
                               QStringLiteral("Load file list"));
    c.ToolButton4 = toolButton(c.ToolBar1, AppIcon::PageUp, QStringLiteral("Save List"),
                               QStringLiteral("Save file list"));
    c.ToolBar1->addSeparator();
    c.ToolButton1 =
        toolButton(c.ToolBar1, AppIcon::Check, QStringLiteral("Check All"), QStringLiteral("Check all URLs"));
    c.ToolBar1->addSeparator();
    c.ToolButton8 =
        toolButton(c.ToolBar1, AppIcon::Edit, QStringLiteral("Edit"), QStringLiteral("Edit selected item"));
    c.ToolBar1->addSeparator();
    c.ToolButton9 = toolButton(c.ToolBar1, AppIcon::Envelope, QStringLiteral("Feedback"),
                               QStringLiteral("Show feedback form"));
    c.ToolButton7 =
        toolButton(c.ToolBar1, AppIcon::Info, QStringLiteral("About"), QStringLiteral("Show aboutbox"));
    c.ToolButton10 =
        toolButton(c.ToolBar1, AppIcon::Question, QStringLiteral("Help"), QStringLiteral("Online help"));
    return c;
}

} // namespace sentrel
