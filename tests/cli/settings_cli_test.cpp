#include "cli/clitesting.h"
#include "storage/websitedb.h"
#include "support/loopbackserver.h"
#include "support/qtext.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace sentrel;

namespace {

using sentrel::test::argList;
using sentrel::test::CliRun;

// sentrel-cli settings on a data folder of its own.
class SettingsCli : public ::testing::Test {
protected:
    CliRun run(std::initializer_list<const char *> args) const
    {
        return sentrel::test::runCliOn(dir_.path(), argList(args));
    }
    QString iniPath() const { return dir_.filePath(QStringLiteral("settings.ini")); }
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

    QTemporaryDir dir_;
};

TEST_F(SettingsCli, ListsGetsAndSetsTheHistoryKeys)
{
    CliRun r = run({"settings"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "HistoryMaxVersions=200\nHistoryMaxAgeDays=0\n") << "the defaults, nothing written";
    EXPECT_FALSE(QFileInfo::exists(iniPath()));

    // What the file says is shown as the programs read it: unusable is the default.
    putIni("[Settings]\r\nInterval=90\r\nHistoryMaxVersions=many\r\nHistoryMaxAgeDays=30\r\n");
    EXPECT_EQ(run({"settings"}).out, "HistoryMaxVersions=200\nHistoryMaxAgeDays=30\n");
    EXPECT_EQ(run({"settings", "historymaxagedays"}).out, "30\n");

    r = run({"settings", "historyMaxVersions", "5"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "HistoryMaxVersions=5\n");
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(iniBytes(), QByteArray("\xEF\xBB\xBF[Settings]\r\nInterval=90\r\nHistoryMaxVersions=5\r\n"
                                     "HistoryMaxAgeDays=30\r\n\r\n"))
        << "the key keeps its place and the other keys stay";
    EXPECT_EQ(run({"settings", "HistoryMaxVersions"}).out, "5\n");
    EXPECT_EQ(run({"settings"}).out, "HistoryMaxVersions=5\nHistoryMaxAgeDays=30\n");
}

TEST_F(SettingsCli, UnknownKeysAndBadValuesAreWrongUseAndWriteNothing)
{
    const struct {
        const char *name;
        QStringList args;
        const char *message;
    } cases[] = {
        {"unknown key", argList({"settings", "Interval"}),
         "unknown setting \"Interval\" (known: HistoryMaxVersions, HistoryMaxAgeDays)"},
        {"unknown key with a value", argList({"settings", "MaxVersions", "5"}),
         "unknown setting \"MaxVersions\""},
        {"no number", argList({"settings", "HistoryMaxVersions", "ten"}),
         "HistoryMaxVersions expects a whole number from 1 to 100000, not \"ten\""},
        {"no versions at all", argList({"settings", "HistoryMaxVersions", "0"}),
         "from 1 to 100000, not \"0\""},
        {"too many versions", argList({"settings", "HistoryMaxVersions", "100001"}), "not \"100001\""},
        {"negative age", argList({"settings", "HistoryMaxAgeDays", "-1"}),
         "HistoryMaxAgeDays expects a whole number from 0 to 36500, not \"-1\""},
        {"fraction", argList({"settings", "HistoryMaxAgeDays", "1.5"}), "not \"1.5\""},
        {"empty value", argList({"settings", "HistoryMaxAgeDays", ""}), "not \"\""},
        {"three words", argList({"settings", "HistoryMaxAgeDays", "1", "2"}),
         "expects at most KEY and VALUE"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const CliRun r = sentrel::test::runCliOn(dir_.path(), c.args);
        EXPECT_EQ(r.code, 2);
        EXPECT_EQ(r.out, "");
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        EXPECT_FALSE(QFileInfo::exists(iniPath()));
    }
}

TEST_F(SettingsCli, ReadingNeedsTheDataFolderWritingCreatesIt)
{
    const QString missing = dir_.filePath(QStringLiteral("missing"));
    CliRun r = sentrel::test::runCliOn(missing, argList({"settings"}));
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("does not exist"), std::string::npos) << r.err;
    EXPECT_FALSE(QFileInfo::exists(missing)) << "a mistyped folder is not made";

    r = sentrel::test::runCliOn(missing, argList({"settings", "HistoryMaxAgeDays", "7"}));
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_TRUE(QFileInfo::exists(missing + QStringLiteral("/settings.ini")));
}

TEST_F(SettingsCli, FileThatCannotBeWrittenExitsOne)
{
    // A folder in the file's place: it can be neither read nor replaced.
    ASSERT_TRUE(QDir(dir_.path()).mkdir(QStringLiteral("settings.ini")));
    const CliRun r = run({"settings", "HistoryMaxVersions", "5"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find(QDir::toNativeSeparators(iniPath()).toStdString()), std::string::npos) << r.err;
    EXPECT_TRUE(QFileInfo(iniPath()).isDir());
}

// The limit set through the command is what the check's saves keep.
TEST_F(SettingsCli, CheckRunsKeepAsManyVersionsAsSet)
{
    sentrel::test::LoopbackServer server;
    for (const char *text : {"One", "Two", "Three"})
        server.on("/p",
                  sentrel::test::Reply::ok(std::string("<html><body><p>") + text + "</p></body></html>"));
    const std::string url = server.url("/p").toStdString();
    ASSERT_EQ(run({"add", url.c_str()}).code, 0);
    ASSERT_EQ(run({"settings", "HistoryMaxVersions", "2"}).code, 0);
    for (int i = 0; i < 3; ++i) {
        const CliRun r = run({"check", "--all"});
        ASSERT_EQ(r.code, 0) << r.err;
    }

    WebsiteDb store(dir_.path(), StoreSettings{});
    const std::vector<SnapshotRecord> kept = store.history(QString::fromStdString(url));
    ASSERT_EQ(kept.size(), 2u);
    EXPECT_EQ(store.snapshotText(kept[0].id), u16(u"Three"));
    EXPECT_EQ(store.snapshotText(kept[1].id), u16(u"Two"));
}

} // namespace
