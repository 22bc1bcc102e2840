#include "storage/settingskeys.h"
#include <algorithm>

namespace sentrel {

namespace {

constexpr QStringView section()
{
    return QStringView(SettingsSection);
}

QString on()
{
    return QStringLiteral("ON");
}
QString off()
{
    return QStringLiteral("OFF");
}

bool isExactlyOn(const SettingsFile &s, const char16_t *key)
{
    return s.readString(section(), QStringView(key), QString()) == u"ON";
}

const char16_t *keyOf(SettingsSwitch which)
{
    switch (which) {
    case SettingsSwitch::Beep:
        return settingskey::Beep;
    case SettingsSwitch::PlaySound:
        return settingskey::PlaySound;
    case SettingsSwitch::ShowMessage:
        return settingskey::ShowMessage;
    case SettingsSwitch::OpenURL:
        return settingskey::OpenURL;
    case SettingsSwitch::MinimizeToSystemTray:
        return settingskey::MinimizeToSystemTray;
    case SettingsSwitch::MinimizeStartup:
        return settingskey::MinimizeStartup;
    }
    return settingskey::Beep;
}

} // namespace

StartupSettings readStartupSettings(const SettingsFile &s)
{
    StartupSettings r;
    r.interval = std::clamp(s.readInteger(section(), settingskey::Interval, DefaultInterval), MinimumInterval,
                            MaximumInterval);
    r.autoCheck = isExactlyOn(s, settingskey::AutoCheck);
    r.soundFile = s.readString(section(), settingskey::SoundFile, QString::fromUtf16(NoSoundFile));
    r.beep = isExactlyOn(s, settingskey::Beep);
    r.playSound = isExactlyOn(s, settingskey::PlaySound);
    r.showMessage = isExactlyOn(s, settingskey::ShowMessage);
    r.openUrl = isExactlyOn(s, settingskey::OpenURL);
    r.stripMethod = stripMethodFromValue(s.readString(section(), settingskey::StripMethod, QString()));
    // The two minimize keys differ on values other than ON and OFF on purpose:
    // one counts anything but OFF as on, the other only ON.
    r.minimizeToSystemTray = s.readString(section(), settingskey::MinimizeToSystemTray, off()) != off();
    r.minimizeStartup = s.readString(section(), settingskey::MinimizeStartup, off()) == on();
    return r;
}

QString stripMethodValue(StripMethod method)
{
    switch (method) {
    case StripMethod::Regex:
        return QStringLiteral("Regex");
    case StripMethod::StringBuilder:
        return QStringLiteral("StringBuilder");
    case StripMethod::Browser:
        break;
    }
    return QStringLiteral("InternetExplorer");
}

StripMethod stripMethodFromValue(QStringView value)
{
    if (value == u"Regex")
        return StripMethod::Regex;
    if (value == u"StringBuilder")
        return StripMethod::StringBuilder;
    return StripMethod::Browser;
}

void writeInterval(SettingsFile &s, int seconds)
{
    s.writeInteger(section(), settingskey::Interval, seconds);
}

void writeAutoCheck(SettingsFile &s, bool checked)
{
    if (checked)
        s.writeString(section(), settingskey::AutoCheck, on());
    else if (!s.readString(section(), settingskey::AutoCheck, QString()).isEmpty())
        s.writeString(section(), settingskey::AutoCheck, off());
}

void writeSoundFile(SettingsFile &s, const QString &text)
{
    s.writeString(section(), settingskey::SoundFile, text);
}

void writeSwitch(SettingsFile &s, SettingsSwitch which, bool isOn)
{
    s.writeString(section(), QStringView(keyOf(which)), isOn ? on() : off());
}

void writeStripMethod(SettingsFile &s, StripMethod method)
{
    s.writeString(section(), settingskey::StripMethod, stripMethodValue(method));
}

} // namespace sentrel
