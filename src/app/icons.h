#pragma once
#include <QIcon>
#include <QImage>

class QPainter;

// The program's own icon set, drawn at run time so that every size stays
// sharp and the set stays consistent: a rounded "sheet" or disc in one
// palette with a small emblem.
namespace sentrel {

enum class AppIcon {
    PageAdd,   // Add URLs
    PageDown,  // Load List
    PageUp,    // Save List
    Check,     // Check All
    Edit,      // Edit
    Envelope,  // Feedback
    Info,      // About
    Question,  // Help
    Exit,      // File > Exit
    ListTab,   // "URL List" page
    ActionTab, // "Action" page
    LogTab,    // "Log" page
    Program,   // the window and the tray
};

// The icon at 64 by 64 pixels (and 16, 24, 32 for menus and tabs).
QIcon appIcon(AppIcon which);

// Draws the icon on a 64 by 64 unit grid; scale the painter for other sizes.
// The desktop integration's icon files are drawn by this too.
void drawAppIcon(QPainter &p, AppIcon which);

// The icon as a transparent image of size by size pixels.
QImage renderAppIcon(AppIcon which, int size);

} // namespace sentrel
