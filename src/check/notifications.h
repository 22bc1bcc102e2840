#pragma once
#include "check/runports.h"
#include <QString>
#include <QStringList>

// Telling the user of changed pages at the end of a run: a beep, a sound
// file, a message listing the changed URLs and opening each changed page.
namespace sentrel {

class MessageBoxes;
class SettingsFile;
class Translator;

// The four boxes of the "Action" page and the sound-file field.
struct NotificationChoices {
    bool beep = false;
    bool playSound = false;
    QString soundFile;
    bool showMessage = false;
    bool openUrl = false;
};

// The platform services the notifications use.
class NotificationPlatform {
public:
    virtual ~NotificationPlatform() = default;
    virtual void beep() = 0; // the simple beep of an OK message box
    virtual bool fileExists(const QString &path) const = 0;
    // Starts playing the file and returns at once.
    virtual void playSoundAsync(const QString &path) = 0;
    // Asks the default handler to open the URL; the result is not looked at.
    virtual void openUrl(const QString &url) = 0;
};

// "Changed URLs:", two carriage returns (no line feeds), then the URLs in
// list order separated by CR LF, nothing after the last.
QString changedUrlsMessage(const QStringList &changedUrls);

// Nothing for an empty list. Otherwise, in this order and each after the one
// before has returned: the beep; the sound, when a file exists at the
// field's path (it plays on while the rest runs); the modal message with the
// caption Translate("INFORMATION") (the changes notice, which does not wait
// for an answer when the boxes can leave it open); opening each URL that is not blank once
// trimmed, in list order.
void ActionsUygula(const QStringList &changedUrls, const NotificationChoices &choices,
                   NotificationPlatform &platform, MessageBoxes &boxes, const Translator &translator);

// ActionsUygula with the window's current choices, for the runs.
class ActionNotifier final : public ChangeNotifier {
public:
    ActionNotifier(const NotificationChoices &choices, NotificationPlatform &platform, MessageBoxes &boxes,
                   const Translator &translator)
        : choices_(choices), platform_(platform), boxes_(boxes), translator_(translator)
    {
    }
    void ActionsUygula(const QStringList &changedUrls) override;

private:
    const NotificationChoices &choices_;
    NotificationPlatform &platform_;
    MessageBoxes &boxes_;
    const Translator &translator_;
    QStringList noticeUrls_; // what the changes notice lists
};

// The controls of the "Action" page that depend on "Play Sound".
class SoundFileControls {
public:
    virtual ~SoundFileControls() = default;
    virtual void setSoundFileEnabled(bool on) = 0; // the sound-file field and "Browse..."
};

// The handlers of the "Action" page: each keeps `choices` and the settings
// file up to date. A failed rewrite of the file throws sentrel::Error after
// the choice has been taken (the caller shows the error box).
class ActionSettings {
public:
    ActionSettings(NotificationChoices &choices, SettingsFile &settings, SoundFileControls &controls)
        : choices_(choices), settings_(settings), controls_(controls)
    {
    }
    void CheckBox2Click(bool checked); // "Beep"
    void CheckBox3Click(bool checked); // "Play Sound"
    void CheckBox4Click(bool checked); // "Show Message"
    void CheckBox5Click(bool checked); // "Open URL with Default Browser"
    void Edit1Change(const QString &soundFile);

private:
    NotificationChoices &choices_;
    SettingsFile &settings_;
    SoundFileControls &controls_;
};

// "Browse..." offers these.
inline constexpr char16_t SoundFileDefaultSuffix[] = u"wav";
inline constexpr char16_t SoundFileFilter[] = u"WAV File (*.wav)|*.wav";

} // namespace sentrel
