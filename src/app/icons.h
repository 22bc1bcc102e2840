#pragma once
#include <QIcon>

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

} // namespace sentrel
