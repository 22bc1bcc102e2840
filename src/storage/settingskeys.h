#pragma once
#include "storage/settings.h"
#include "strip/strippers.h" // the StripMethod enum only; no link dependency
#include <QString>

// The keys of the Settings section: what start-up makes of them and the
// writers the window calls when the user changes a control.
namespace sentrel {

namespace settingskey {
inline constexpr char16_t Interval[] = u"Interval";
inline constexpr char16_t AutoCheck[] = u"AutoCheck";
inline constexpr char16_t SoundFile[] = u"SoundFile";
inline constexpr char16_t Beep[] = u"Beep";
inline constexpr char16_t PlaySound[] = u"PlaySound";
inline constexpr char16_t ShowMessage[] = u"ShowMessage";
inline constexpr char16_t OpenURL[] = u"OpenURL";
inline constexpr char16_t StripMethod[] = u"StripMethod";
inline constexpr char16_t MinimizeToSystemTray[] = u"MinimizeToSystemTray";
inline constexpr char16_t MinimizeStartup[] = u"MinimizeStartup";
inline constexpr char16_t Left[] = u"Left";
inline constexpr char16_t Top[] = u"Top";
inline constexpr char16_t Width[] = u"Width";
inline constexpr char16_t Height[] = u"Height";
inline constexpr char16_t WindowState[] = u"WindowState";
inline constexpr char16_t HistoryMaxVersions[] = u"HistoryMaxVersions";
inline constexpr char16_t HistoryMaxAgeDays[] = u"HistoryMaxAgeDays";
} // namespace settingskey

// The interval control's range, in seconds.
inline constexpr int MinimumInterval = 10;
inline constexpr int MaximumInterval = 999999999;
inline constexpr int DefaultInterval = 60;
// How many saved texts of each URL the history keeps, and for how many days
// (0: as long as the count allows); storage/historysettings.h reads them.
inline constexpr int DefaultHistoryMaxVersions = 200;
inline constexpr int MinimumHistoryMaxVersions = 1;
inline constexpr int MaximumHistoryMaxVersions = 100000;
inline constexpr int DefaultHistoryMaxAgeDays = 0;
inline constexpr int MinimumHistoryMaxAgeDays = 0;
inline constexpr int MaximumHistoryMaxAgeDays = 36500;
// The sound-file field's text when no file is chosen.
inline constexpr char16_t NoSoundFile[] = u"[None]";

// The settings start-up applies, Interval to MinimizeStartup, as the window's
// controls are to show them. The window sets the interval with its change
// handling detached; a box it checks runs its click handling (which writes the
// key again), and a sound-file text that differs from the field's writes
// SoundFile through the field's change handling.
struct StartupSettings {
    int interval = DefaultInterval; // already within MinimumInterval..MaximumInterval
    bool autoCheck = false;         // exactly "ON"
    QString soundFile = QString::fromUtf16(NoSoundFile);
    bool beep = false;        // exactly "ON"
    bool playSound = false;   // exactly "ON"
    bool showMessage = false; // exactly "ON"
    bool openUrl = false;     // exactly "ON"
    StripMethod stripMethod = StripMethod::Browser;
    bool minimizeToSystemTray = false; // anything but exactly "OFF" (default "OFF")
    bool minimizeStartup = false;      // exactly "ON" (default "OFF")
};

StartupSettings readStartupSettings(const SettingsFile &settings);

// The stored value of a strip method: "InternetExplorer", "Regex", "StringBuilder".
QString stripMethodValue(StripMethod method);
// Exactly "Regex" or "StringBuilder" pick those; anything else the browser method.
StripMethod stripMethodFromValue(QStringView value);

// The switches written as "ON" / "OFF" whenever their control is clicked.
enum class SettingsSwitch { Beep, PlaySound, ShowMessage, OpenURL, MinimizeToSystemTray, MinimizeStartup };

// Each writer changes memory and rewrites the file; a failed rewrite throws
// sentrel::Error (the value stays in memory).
void writeInterval(SettingsFile &settings, int seconds);
// Checked: "ON". Unchecked: "OFF", but only when the key already holds a
// non-empty value, so that a fresh file gets no AutoCheck key (nothing is
// rewritten then).
void writeAutoCheck(SettingsFile &settings, bool checked);
void writeSoundFile(SettingsFile &settings, const QString &text);
void writeSwitch(SettingsFile &settings, SettingsSwitch which, bool on);
void writeStripMethod(SettingsFile &settings, StripMethod method);

} // namespace sentrel
