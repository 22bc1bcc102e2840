#pragma once
#include <QObject>

class QAction;
class QActionGroup;
class QMainWindow;
class QMenu;
class QToolBar;

// The command table's menus and toolbar: every item with its caption, order,
// shortcut, icon, check mark and enabled and hidden state. The window
// connects each action to its handler.
namespace sentrel {

struct AppCommands {
    // File
    QAction *AddURLs1;
    QAction *LoadList1;
    QAction *SaveList1;
    QAction *Exit1;
    // Settings
    QAction *Autostartatstartup1;
    QAction *StartMinimized1;
    QAction *MinimizetoSystemTray1;
    QAction *Exclusions1;
    QMenu *StripMethod1;
    QActionGroup *stripMethods;
    QAction *InternetExplorer1;
    QAction *Regex1;
    QAction *StringBuilder1;
    QAction *ResettoDefaults1;
    // Help
    QAction *Help2;
    QAction *UpdateNotifications1;
    QAction *UpdateSeparator;
    QAction *SendFeedback1;
    QAction *About1;
    // The list menu
    QMenu *PopupMenu1;
    QAction *EditURL1;
    QAction *History1;
    QAction *CheckURL1;
    QAction *Copy1;
    QAction *OpenURLwithDefaultBrowser1;
    QAction *Delete1;
    QAction *SelectAll1;
    // The toolbar
    QToolBar *ToolBar1;
    QAction *ToolButton3;  // Add URLs
    QAction *ToolButton2;  // Load List
    QAction *ToolButton4;  // Save List
    QAction *ToolButton1;  // Check All
    QAction *ToolButton8;  // Edit
    QAction *ToolButton9;  // Feedback
    QAction *ToolButton7;  // About
    QAction *ToolButton10; // Help
};

// Builds the main menu and the toolbar of `window`, and the list menu.
AppCommands buildCommands(QMainWindow *window);

} // namespace sentrel
