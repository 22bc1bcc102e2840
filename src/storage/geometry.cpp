#include "storage/geometry.h"
#include "storage/settingskeys.h"

namespace sentrel {

namespace {
constexpr QStringView section()
{
    return QStringView(SettingsSection);
}

std::optional<int> fittingLength(const SettingsFile &s, const char16_t *key, int screenLength)
{
    // A stored length of 0 or less (or one the screen cannot show) would make
    // the window vanish or overflow; the design size stays then.
    const int length = s.readInteger(section(), QStringView(key), 0);
    if (length <= 0 || length > screenLength)
        return std::nullopt;
    return length;
}
} // namespace

GeometryRestore planGeometryRestore(const SettingsFile &s, QSize primaryScreen)
{
    GeometryRestore r;
    if (s.valueExists(section(), settingskey::Left) && s.valueExists(section(), settingskey::Top))
        r.position = QPoint(s.readInteger(section(), settingskey::Left, 0),
                            s.readInteger(section(), settingskey::Top, 0));
    r.width = fittingLength(s, settingskey::Width, primaryScreen.width());
    r.height = fittingLength(s, settingskey::Height, primaryScreen.height());
    r.maximized = s.readString(section(), settingskey::WindowState, QString()) == u"Maximized";
    return r;
}

QRect sizeWithinScreen(const QRect &frame, const QRect &availableScreen)
{
    return QRect(frame.topLeft(), frame.size().boundedTo(availableScreen.size()));
}

void GeometryMemory::windowResized(WindowSizeState state, const QRect &frame)
{
    if (!startupComplete_)
        return;
    if (state == WindowSizeState::Normal) {
        settings_.setInteger(section(), settingskey::Left, frame.left());
        settings_.setInteger(section(), settingskey::Top, frame.top());
        settings_.setInteger(section(), settingskey::Height, frame.height());
        settings_.setInteger(section(), settingskey::Width, frame.width());
        settings_.setString(section(), settingskey::WindowState, QStringLiteral("Normal"));
    } else if (state == WindowSizeState::Maximized) {
        settings_.setString(section(), settingskey::WindowState, QStringLiteral("Maximized"));
    }
    settings_.save();
}

void GeometryMemory::windowMoved(const QPoint &topLeft)
{
    if (!startupComplete_)
        return;
    settings_.setInteger(section(), settingskey::Left, topLeft.x());
    settings_.setInteger(section(), settingskey::Top, topLeft.y());
    settings_.save();
}

} // namespace sentrel
