#pragma once
#include "storage/settings.h"
#include <QPoint>
#include <QRect>
#include <QSize>
#include <optional>

// Remembering the main window's position, size and state in the settings, and
// what start-up makes of them; the window passes in its bounds and the screen.
namespace sentrel {

// The main window's client area at 96 dots per inch, centred on the screen
// when no position is stored.
inline constexpr QSize DesignClientSize{736, 532};

// What start-up applies to the window, in this order; an empty field leaves
// the window as designed.
struct GeometryRestore {
    std::optional<QPoint> position; // both Left and Top stored: stop centring, move here
    std::optional<int> width;       // outer width
    std::optional<int> height;      // outer height
    bool maximized = false;         // WindowState exactly "Maximized"
};

// Left/Top only together (each read with default 0; the position is not
// checked against the screen); Width/Height only when positive and not
// larger than the primary screen.
GeometryRestore planGeometryRestore(const SettingsFile &settings, QSize primaryScreen);

// The frame as it is saved: no wider or taller than the screen's available
// area, so that the next start never opens a window the screen cannot show.
// The position stays: it may be on another screen, and the start does not
// check it either.
QRect sizeWithinScreen(const QRect &frame, const QRect &availableScreen);

enum class WindowSizeState { Normal, Maximized, Minimized };

// Writes the geometry on every resize and move once start-up is complete.
class GeometryMemory {
public:
    explicit GeometryMemory(SettingsFile &settings) : settings_(settings) {}

    // Start-up sets it as its last step, after the restore, so that the restore
    // is not written back; Reset to Defaults clears it before deleting the files.
    void setStartupComplete(bool complete) { startupComplete_ = complete; }
    bool startupComplete() const { return startupComplete_; }

    // Normal: Left, Top, Height, Width from `frame` and WindowState "Normal";
    // maximized: WindowState "Maximized" only, so the last normal size stays;
    // minimized: nothing. The file is rewritten in every state.
    void windowResized(WindowSizeState state, const QRect &frame);
    // Left and Top, then a rewrite.
    void windowMoved(const QPoint &topLeft);

private:
    SettingsFile &settings_;
    bool startupComplete_ = false;
};

} // namespace sentrel
