#include "check/notifications.h"
#include "storage/settings.h"
#include "storage/settingskeys.h"
#include "support/qtext.h"
#include "text/translation.h"
#include "uimodel/messages.h"
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace sentrel;

namespace {

// Every platform call and message box in one record, in order.
class Recorder : public NotificationPlatform, public MessageBoxes {
public:
    void beep() override { calls.append(QStringLiteral("beep")); }
    bool fileExists(const QString &path) const override { return existing.contains(path); }
    void playSoundAsync(const QString &path) override { calls.append(QStringLiteral("play ") + path); }
    void openUrl(const QString &url) override { calls.append(QStringLiteral("open ") + url); }
    void showMessage(MessageKind kind, const QString &caption, const QString &text) override
    {
        EXPECT_EQ(kind, MessageKind::Information);
        calls.append(QStringLiteral("message ") + caption + u'|' + text);
    }
    int confirm(const ConfirmationRequest &) override { return dialogresult::OK; }

    QStringList existing;
    QStringList calls;
};

NotificationChoices everything()
{
    return NotificationChoices{true, true, QStringLiteral("/sounds/ding.wav"), true, true};
}

class Actions : public testing::Test {
protected:
    void run(const QStringList &changed, const NotificationChoices &choices)
    {
        ActionsUygula(changed, choices, recorder, recorder, english);
    }
    Recorder recorder;
    Translator english;
};

TEST(ChangedUrlsMessage, IsTheHeadingTwoCarriageReturnsAndTheUrlsOnCrLfLines)
{
    EXPECT_EQ(changedUrlsMessage({QStringLiteral("http://a/"), QStringLiteral("http://b/")}),
              u"Changed URLs:\r\rhttp://a/\r\nhttp://b/");
    EXPECT_EQ(changedUrlsMessage({QStringLiteral("http://a/")}), u"Changed URLs:\r\rhttp://a/");
}

TEST_F(Actions, RunInTheirOrderEachAfterTheOneBefore)
{
    recorder.existing = {QStringLiteral("/sounds/ding.wav")};
    run({QStringLiteral("http://a/"), QStringLiteral(" http://b/ "), QStringLiteral("http://a/")},
        everything());
    EXPECT_EQ(recorder.calls,
              (QStringList{QStringLiteral("beep"), QStringLiteral("play /sounds/ding.wav"),
                           QStringLiteral(
                               "message INFORMATION|Changed URLs:\r\rhttp://a/\r\n http://b/ \r\nhttp://a/"),
                           QStringLiteral("open http://a/"), QStringLiteral("open http://b/"),
                           QStringLiteral("open http://a/")}));
}

TEST_F(Actions, NothingHappensWithoutChangesWhateverIsChosen)
{
    recorder.existing = {QStringLiteral("/sounds/ding.wav")};
    run({}, everything());
    EXPECT_TRUE(recorder.calls.isEmpty());
}

TEST_F(Actions, NothingHappensWithNoBoxChecked)
{
    run({QStringLiteral("http://a/")},
        NotificationChoices{false, false, QStringLiteral("/sounds/ding.wav"), false, false});
    EXPECT_TRUE(recorder.calls.isEmpty());
}

TEST_F(Actions, AMissingSoundFileIsSkippedSilentlyAndTheRestStillRuns)
{
    NotificationChoices choices = everything();
    choices.soundFile = QString::fromUtf16(NoSoundFile);
    run({QStringLiteral("http://a/")}, choices);
    EXPECT_EQ(recorder.calls.size(), 3);
    EXPECT_TRUE(recorder.calls.filter(QStringLiteral("play")).isEmpty());
}

TEST_F(Actions, BlankUrlsAreNotOpened)
{
    run({QStringLiteral(" \t"), QStringLiteral("http://a/")},
        NotificationChoices{false, false, {}, false, true});
    EXPECT_EQ(recorder.calls, QStringList{QStringLiteral("open http://a/")});
}

TEST_F(Actions, TheCaptionIsInformationInTheLoadedLanguage)
{
    QTemporaryDir exe;
    QDir(exe.path()).mkdir(QStringLiteral("Languages"));
    const auto write = [&](const QString &name, const QByteArray &bytes) {
        QFile f(exe.path() + QStringLiteral("/Languages/") + name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    };
    write(QStringLiteral("LanguageCodes.csv"), "1031,German.lang.txt\r\n");
    write(QStringLiteral("German.lang.txt"), "{INFORMATION}INFORMATION (de)\r\n");
    const Translator german = Translator::load(exe.path(), quint16(1031));
    ASSERT_TRUE(german.active());
    ActionsUygula({QStringLiteral("http://a/")}, NotificationChoices{false, false, {}, true, false}, recorder,
                  recorder, german);
    EXPECT_EQ(recorder.calls,
              QStringList{QStringLiteral("message INFORMATION (de)|Changed URLs:\r\rhttp://a/")});
}

class SoundControls : public SoundFileControls {
public:
    void setSoundFileEnabled(bool on) override { enabled = on; }
    bool enabled = false;
};

TEST(ActionPage, EachBoxSavesItsSwitchAndPlaySoundEnablesTheFileField)
{
    QTemporaryDir dir;
    const QString folder = dir.path() + u'/';
    SettingsFile settings = SettingsFile::open(folder);
    NotificationChoices choices;
    SoundControls controls;
    ActionSettings page(choices, settings, controls);

    page.CheckBox2Click(true);
    page.CheckBox3Click(true);
    page.CheckBox4Click(true);
    page.CheckBox5Click(false);
    page.Edit1Change(QStringLiteral("/sounds/ding.wav"));
    EXPECT_TRUE(controls.enabled);
    EXPECT_TRUE(choices.beep && choices.playSound && choices.showMessage && !choices.openUrl);

    const SettingsFile reread = SettingsFile::open(folder);
    const auto value = [&](const char16_t *key) {
        return reread.readString(SettingsSection, key, QString());
    };
    EXPECT_EQ(value(settingskey::Beep), u"ON");
    EXPECT_EQ(value(settingskey::PlaySound), u"ON");
    EXPECT_EQ(value(settingskey::ShowMessage), u"ON");
    EXPECT_EQ(value(settingskey::OpenURL), u"OFF");
    EXPECT_EQ(value(settingskey::SoundFile), u"/sounds/ding.wav");

    page.CheckBox3Click(false);
    EXPECT_FALSE(controls.enabled);
    EXPECT_EQ(choices.soundFile, u"/sounds/ding.wav") << "the field keeps its text";
    EXPECT_EQ(SettingsFile::open(folder).readString(SettingsSection, settingskey::SoundFile, QString()),
              u"/sounds/ding.wav");
}

} // namespace
