#include "storage/settings.h"
#include "storage/settingskeys.h"
#include "support/qtext.h"
#include "text/error.h"
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <algorithm>
#include <gtest/gtest.h>

using namespace sentrel;

namespace {

const QString S = QStringLiteral("Settings");

class SettingsFileTest : public ::testing::Test {
protected:
    QString folder() const { return dir.path() + u'/'; }
    QString iniPath() const { return dir.filePath(QStringLiteral("settings.ini")); }
    void putIni(const QByteArray &bytes) const
    {
        QFile f(iniPath());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QByteArray iniBytes() const
    {
        QFile f(iniPath());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    SettingsFile openWith(const QByteArray &bytes) const
    {
        putIni(bytes);
        return SettingsFile::open(folder());
    }
    QTemporaryDir dir;
};

TEST_F(SettingsFileTest, MissingFileGivesDefaultsAndIsCreatedByTheFirstWrite)
{
    SettingsFile s = SettingsFile::open(folder());
    EXPECT_EQ(s.readString(S, u"SoundFile", QStringLiteral("[None]")), QStringLiteral("[None]"));
    EXPECT_FALSE(QFile::exists(iniPath())) << "opening writes nothing";
    s.writeInteger(S, u"Interval", 120);
    EXPECT_EQ(iniBytes(), QByteArray("\xEF\xBB\xBF[Settings]\r\nInterval=120\r\n\r\n"));
}

TEST_F(SettingsFileTest, EveryWriteRewritesTheWholeFileKeepingWhatItDoesNotKnow)
{
    SettingsFile s = openWith("[Settings]\nInterval=60\nFuture=yes\n[Plugin]\nname=x\n");
    s.writeString(S, u"Beep", QStringLiteral("ON"));
    EXPECT_EQ(iniBytes(), QByteArray("\xEF\xBB\xBF[Settings]\r\nInterval=60\r\nFuture=yes\r\nBeep=ON\r\n\r\n"
                                     "[Plugin]\r\nname=x\r\n\r\n"));
    s.writeString(S, u"interval", QStringLiteral("90"));
    EXPECT_EQ(iniBytes(), QByteArray("\xEF\xBB\xBF[Settings]\r\nInterval=90\r\nFuture=yes\r\nBeep=ON\r\n\r\n"
                                     "[Plugin]\r\nname=x\r\n\r\n"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("settings.ini")});
}

TEST_F(SettingsFileTest, ReadsUtf8WithAndWithoutByteOrderMark)
{
    for (const QByteArray &bytes :
         {QByteArray("[Settings]\nSoundFile=/m\xC3\xBCsic/\xF0\x9F\x94\x94.wav\n"),
          QByteArray("\xEF\xBB\xBF[Settings]\nSoundFile=/m\xC3\xBCsic/\xF0\x9F\x94\x94.wav\n")}) {
        SCOPED_TRACE(bytes.constData());
        const SettingsFile s = openWith(bytes);
        EXPECT_EQ(s.readString(S, u"SoundFile", QString()), u16(u"/müsic/🔔.wav"));
        EXPECT_TRUE(QFile::exists(iniPath()));
    }
}

TEST_F(SettingsFileTest, LinesThatAreNotUtf8AreReadAsWindows1252AndTheFileIsKept)
{
    const struct {
        const char *name;
        QByteArray bytes;
        const char *key;
        QString value;
    } cases[] = {
        {"a file saved in the 8-bit code page",
         QByteArray("[Settings]\r\nShowMessage=ON\r\nMyKey=caf\xE9\r\n"), "MyKey", u16(u"café")},
        {"an 8-bit line typed into the program's UTF-8 file",
         QByteArray(
             "\xEF\xBB\xBF[Settings]\r\nSoundFile=/m\xC3\xBCsic.wav\r\nMyKey=caf\xE9\r\nShowMessage=ON\r\n"),
         "SoundFile", u16(u"/müsic.wav")},
        {"0x80 to 0x9F are the code page's own characters",
         QByteArray("[Settings]\nShowMessage=ON\nMyKey=\x80 \x93q\x94\n"), "MyKey", u16(u"€ “q”")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const SettingsFile s = openWith(c.bytes);
        EXPECT_EQ(s.readString(S, QString::fromLatin1(c.key), QString()), c.value);
        EXPECT_EQ(s.readString(S, u"ShowMessage", QString()), u"ON");
        EXPECT_EQ(s.openNotice(), QString());
        EXPECT_EQ(iniBytes(), c.bytes) << "opening never touches a readable file";
    }
    // The 8-bit line read back is rewritten as UTF-8 like every other.
    SettingsFile s = openWith(cases[1].bytes);
    s.writeString(S, u"Beep", QStringLiteral("ON"));
    EXPECT_EQ(iniBytes(),
              QByteArray("\xEF\xBB\xBF[Settings]\r\nSoundFile=/m\xC3\xBCsic.wav\r\nMyKey=caf\xC3\xA9\r\n"
                         "ShowMessage=ON\r\nBeep=ON\r\n\r\n"));
}

// A file zeroed by a crash is no settings text; it is kept for the user,
// never deleted, and never rewritten in place.
TEST_F(SettingsFileTest, FileThatIsNoTextIsMovedAsideWithANotice)
{
    const QByteArray zeroed(64, '\0');
    const char cutOffBytes[] = "[Settings]\r\nInterval=300\r\n\0\0\0\0";
    const QByteArray cutOff(cutOffBytes, sizeof cutOffBytes - 1);
    const SettingsFile first = openWith(zeroed);
    const SettingsFile second = openWith(cutOff); // within the same second, most likely
    EXPECT_FALSE(QFile::exists(iniPath()));
    EXPECT_EQ(second.readInteger(S, u"Interval", 60), 60) << "the defaults apply";

    const QStringList aside =
        QDir(dir.path()).entryList({QStringLiteral("settings.ini.bad-*")}, QDir::Files, QDir::Name);
    ASSERT_EQ(aside.size(), 2) << aside.join(u' ').toStdString();
    const QRegularExpression name(QStringLiteral("^settings\\.ini\\.bad-\\d{8}-\\d{6}(-2)?$"));
    QByteArrayList kept;
    for (const QString &file : aside) {
        EXPECT_TRUE(name.match(file).hasMatch()) << file.toStdString();
        QFile f(dir.filePath(file));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        kept.append(f.readAll());
    }
    std::sort(kept.begin(), kept.end());
    EXPECT_EQ(kept, (QByteArrayList{zeroed, cutOff}));
    for (const SettingsFile *s : {&first, &second}) {
        EXPECT_TRUE(s->openNotice().contains(QDir::toNativeSeparators(iniPath())))
            << s->openNotice().toStdString();
        EXPECT_TRUE(s->openNotice().contains(QStringLiteral(".bad-"))) << s->openNotice().toStdString();
        EXPECT_TRUE(s->openNotice().contains(QStringLiteral("NUL"))) << s->openNotice().toStdString();
    }
}

TEST_F(SettingsFileTest, FileThatCannotBeOpenedGivesDefaults)
{
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("settings.ini")));
    SettingsFile s = SettingsFile::open(folder());
    EXPECT_EQ(s.readInteger(S, u"Interval", 60), 60);
    EXPECT_TRUE(s.openNotice().startsWith(QStringLiteral("The settings file"))) << "not a silent reset";
    EXPECT_THROW(s.writeInteger(S, u"Interval", 30), Error) << "a folder cannot be replaced by the file";
    EXPECT_EQ(s.readInteger(S, u"Interval", 60), 30);
}

TEST_F(SettingsFileTest, FailedRewriteThrowsKeepsTheValueAndTheNextSaveWritesIt)
{
    SettingsFile s = openWith("[Settings]\nInterval=60\n");
    const QByteArray before = iniBytes();
    // The settings file is replaced by a folder: the rewrite cannot take its place.
    ASSERT_TRUE(QFile::remove(iniPath()));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("settings.ini")));
    try {
        s.writeString(S, u"Beep", QStringLiteral("ON"));
        FAIL() << "no error";
    } catch (const Error &e) {
        EXPECT_TRUE(e.message().startsWith(QStringLiteral("The settings could not be saved."))) << e.what();
        EXPECT_TRUE(e.message().contains(QDir::toNativeSeparators(iniPath()))) << e.what();
    }
    EXPECT_EQ(s.readString(S, u"Beep", QString()), QStringLiteral("ON")) << "kept in memory";

    ASSERT_TRUE(QDir(dir.path()).rmdir(QStringLiteral("settings.ini")));
    s.writeString(S, u"PlaySound", QStringLiteral("OFF"));
    EXPECT_EQ(iniBytes(),
              QByteArray("\xEF\xBB\xBF[Settings]\r\nInterval=60\r\nBeep=ON\r\nPlaySound=OFF\r\n\r\n"));
    EXPECT_NE(before, iniBytes());
}

TEST_F(SettingsFileTest, RewriteIntoAVanishedFolderThrowsAndKeepsTheValue)
{
    SettingsFile s = openWith("[Settings]\nInterval=60\n");
    // The data folder disappears (a removed stick, a deleted folder).
    const QString path = s.path();
    dir.remove();
    EXPECT_THROW(s.writeInteger(S, u"Interval", 20), Error);
    EXPECT_EQ(s.readInteger(S, u"Interval", 60), 20);
    EXPECT_FALSE(QFile::exists(path));
}

TEST(SettingsInteger, DecimalWholeNumbersOnly)
{
    const struct {
        const char *text;
        std::optional<int> value;
    } cases[] = {
        {"60", 60},
        {" 42 ", 42},
        {"-7", -7},
        {"+7", 7},
        {"0", 0},
        {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"2147483648", {}},
        {"abc", {}},
        {"", {}},
        {"12abc", {}},
        {"1 2", {}},
        {"+-1", {}},
        {"0x10", {}},
        {"1.5", {}},
        {"٣", {}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(parseSettingsInteger(QString::fromUtf8(c.text)), c.value);
    }
}

// Start-up's reading of the keys Interval to MinimizeStartup.
class StartupSettingsTest : public SettingsFileTest {
protected:
    StartupSettings readWith(const char *lines)
    {
        return readStartupSettings(openWith(QByteArray("[Settings]\n") + lines));
    }
};

TEST_F(StartupSettingsTest, FreshFileGivesEveryDefault)
{
    const StartupSettings r = readStartupSettings(SettingsFile::open(folder()));
    EXPECT_EQ(r.interval, 60);
    EXPECT_FALSE(r.autoCheck);
    EXPECT_EQ(r.soundFile, QStringLiteral("[None]"));
    EXPECT_FALSE(r.beep || r.playSound || r.showMessage || r.openUrl);
    EXPECT_EQ(r.stripMethod, StripMethod::Browser);
    EXPECT_FALSE(r.minimizeToSystemTray);
    EXPECT_FALSE(r.minimizeStartup);
}

TEST_F(StartupSettingsTest, IntervalIsKeptWithinTheControlsRange)
{
    const struct {
        const char *value;
        int interval;
    } cases[] = {{"5", 10},
                 {"10", 10},
                 {"abc", 60},
                 {"3600", 3600},
                 {"-1", 10},
                 {"", 60},
                 {"999999999", 999999999},
                 {"1000000000", 999999999}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(readWith((QByteArray("Interval=") + c.value).constData()).interval, c.interval);
    }
}

TEST_F(StartupSettingsTest, SwitchesAreOnOnlyForExactlyOn)
{
    for (const char *value : {"on", "On", "YES", "1", "ON "}) {
        SCOPED_TRACE(value);
        const QByteArray v(value);
        const StartupSettings r = readWith(("AutoCheck=" + v + "\nBeep=" + v + "\nPlaySound=" + v +
                                            "\nShowMessage=" + v + "\nOpenURL=" + v + "\n")
                                               .constData());
        // "ON " loses its blank when read, like any value.
        const bool on = v.trimmed() == "ON";
        EXPECT_EQ(r.autoCheck, on);
        EXPECT_EQ(r.beep, on);
        EXPECT_EQ(r.playSound, on);
        EXPECT_EQ(r.showMessage, on);
        EXPECT_EQ(r.openUrl, on);
    }
    const StartupSettings r = readWith("autocheck=ON\nBEEP=ON\nplaysound=ON\nShowmessage=ON\nopenurl=ON\n");
    EXPECT_TRUE(r.autoCheck && r.beep && r.playSound && r.showMessage && r.openUrl)
        << "key names ignore case";
}

TEST_F(StartupSettingsTest, TheTwoMinimizeKeysReadOtherValuesDifferently)
{
    const struct {
        const char *value;
        bool toTray;
        bool atStartup;
    } cases[] = {{"ON", true, true},
                 {"OFF", false, false},
                 {"yes", true, false},
                 {"off", true, false},
                 {"", true, false}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.value);
        const QByteArray v(c.value);
        const StartupSettings r =
            readWith(("MinimizeToSystemTray=" + v + "\nMinimizeStartup=" + v + "\n").constData());
        EXPECT_EQ(r.minimizeToSystemTray, c.toTray);
        EXPECT_EQ(r.minimizeStartup, c.atStartup);
    }
}

TEST_F(StartupSettingsTest, StripMethodNeedsTheExactValue)
{
    const struct {
        const char *value;
        StripMethod method;
    } cases[] = {{"Regex", StripMethod::Regex},
                 {"StringBuilder", StripMethod::StringBuilder},
                 {"InternetExplorer", StripMethod::Browser},
                 {"regex", StripMethod::Browser},
                 {"stringbuilder", StripMethod::Browser},
                 {"Something", StripMethod::Browser}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(readWith((QByteArray("StripMethod=") + c.value).constData()).stripMethod, c.method);
    }
}

TEST_F(StartupSettingsTest, WritersStoreWhatStartUpReadsBack)
{
    SettingsFile s = SettingsFile::open(folder());
    writeInterval(s, 45);
    writeAutoCheck(s, true);
    writeSoundFile(s, QStringLiteral("/tmp/ding.wav"));
    for (SettingsSwitch w :
         {SettingsSwitch::Beep, SettingsSwitch::PlaySound, SettingsSwitch::ShowMessage,
          SettingsSwitch::OpenURL, SettingsSwitch::MinimizeToSystemTray, SettingsSwitch::MinimizeStartup})
        writeSwitch(s, w, true);
    for (StripMethod m : {StripMethod::Regex, StripMethod::Browser, StripMethod::StringBuilder}) {
        writeStripMethod(s, m);
        EXPECT_EQ(readStartupSettings(SettingsFile::open(folder())).stripMethod, m);
    }
    const StartupSettings r = readStartupSettings(SettingsFile::open(folder()));
    EXPECT_EQ(r.interval, 45);
    EXPECT_EQ(r.soundFile, QStringLiteral("/tmp/ding.wav"));
    EXPECT_TRUE(r.autoCheck && r.beep && r.playSound && r.showMessage && r.openUrl &&
                r.minimizeToSystemTray && r.minimizeStartup);
    EXPECT_EQ(iniBytes(),
              QByteArray("\xEF\xBB\xBF[Settings]\r\nInterval=45\r\nAutoCheck=ON\r\n"
                         "SoundFile=/tmp/ding.wav\r\nBeep=ON\r\nPlaySound=ON\r\nShowMessage=ON\r\n"
                         "OpenURL=ON\r\nMinimizeToSystemTray=ON\r\nMinimizeStartup=ON\r\n"
                         "StripMethod=StringBuilder\r\n\r\n"));

    writeSwitch(s, SettingsSwitch::Beep, false);
    writeSwitch(s, SettingsSwitch::MinimizeToSystemTray, false);
    const StartupSettings off = readStartupSettings(SettingsFile::open(folder()));
    EXPECT_FALSE(off.beep);
    EXPECT_FALSE(off.minimizeToSystemTray);
    EXPECT_EQ(s.readString(S, u"Beep", QString()), QStringLiteral("OFF"));
}

TEST_F(StartupSettingsTest, UncheckingAutoCheckOnAFreshFileWritesNoKey)
{
    SettingsFile s = SettingsFile::open(folder());
    writeAutoCheck(s, false);
    EXPECT_FALSE(s.valueExists(S, u"AutoCheck"));
    EXPECT_FALSE(QFile::exists(iniPath()));

    writeAutoCheck(s, true);
    writeAutoCheck(s, false);
    EXPECT_EQ(s.readString(S, u"AutoCheck", QString()), QStringLiteral("OFF"));
    EXPECT_EQ(SettingsFile::open(folder()).readString(S, u"AutoCheck", QString()), QStringLiteral("OFF"));
}

} // namespace
