#include "check/notifications.h"
#include "storage/settingskeys.h"
#include "text/lines.h"
#include "text/translation.h"
#include "uimodel/messages.h"

namespace sentrel {

QString changedUrlsMessage(const QStringList &changedUrls)
{
    return QStringLiteral("Changed URLs:\r\r") + changedUrls.join(QStringLiteral("\r\n"));
}

namespace {

// `noticeUrls` are the URLs the changes notice lists: the run's own, or with
// those of earlier runs whose notice is still open.
void notify(const QStringList &changedUrls, const QStringList &noticeUrls, const NotificationChoices &choices,
            NotificationPlatform &platform, MessageBoxes &boxes, const Translator &translator)
{
    if (changedUrls.isEmpty())
        return;
    if (choices.beep)
        platform.beep();
    if (choices.playSound && platform.fileExists(choices.soundFile))
        platform.playSoundAsync(choices.soundFile);
    if (choices.showMessage)
        boxes.showChangesNotice(messageCaption(MessageKind::Information, translator, {}),
                                changedUrlsMessage(noticeUrls));
    if (choices.openUrl) {
        // The list as it is now (a run started from inside the message box
        // refills it); the copy keeps the loop safe from later changes.
        // NOLINTNEXTLINE(performance-unnecessary-copy-initialization)
        const QStringList urls = changedUrls;
        for (const QString &url : urls) {
            const QString target = trim(url);
            if (!target.isEmpty())
                platform.openUrl(target);
        }
    }
}

} // namespace

void ActionsUygula(const QStringList &changedUrls, const NotificationChoices &choices,
                   NotificationPlatform &platform, MessageBoxes &boxes, const Translator &translator)
{
    notify(changedUrls, changedUrls, choices, platform, boxes, translator);
}

void ActionNotifier::ActionsUygula(const QStringList &changedUrls)
{
    if (changedUrls.isEmpty())
        return;
    // An answered notice starts afresh; an open one keeps its URLs and gains
    // the ones it does not list yet.
    if (!boxes_.changesNoticeOpen())
        noticeUrls_.clear();
    for (const QString &url : changedUrls)
        if (!noticeUrls_.contains(url))
            noticeUrls_.append(url);
    notify(changedUrls, noticeUrls_, choices_, platform_, boxes_, translator_);
}

void ActionSettings::CheckBox2Click(bool checked)
{
    choices_.beep = checked;
    writeSwitch(settings_, SettingsSwitch::Beep, checked);
}

void ActionSettings::CheckBox3Click(bool checked)
{
    choices_.playSound = checked;
    controls_.setSoundFileEnabled(checked);
    writeSwitch(settings_, SettingsSwitch::PlaySound, checked);
}

void ActionSettings::CheckBox4Click(bool checked)
{
    choices_.showMessage = checked;
    writeSwitch(settings_, SettingsSwitch::ShowMessage, checked);
}

void ActionSettings::CheckBox5Click(bool checked)
{
    choices_.openUrl = checked;
    writeSwitch(settings_, SettingsSwitch::OpenURL, checked);
}

void ActionSettings::Edit1Change(const QString &soundFile)
{
    choices_.soundFile = soundFile;
    writeSoundFile(settings_, soundFile);
}

} // namespace sentrel
