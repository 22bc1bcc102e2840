#include "storage/datafolder.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace sentrel;

namespace {

// The real probe, with the per-user root moved into the test's folder and
// chosen folders marked read-only (the tests may run as root, who can write
// anywhere).
class TestSystem : public DataFolderSystem {
public:
    bool probeNewFile(const QString &path) override
    {
        probes.append(path);
        if (readOnly.contains(QFileInfo(path).absolutePath()))
            return false;
        return real.probeNewFile(path);
    }
    QString userDataRoot() override { return root; }
    void makeFolder(const QString &path) override
    {
        made.append(path);
        real.makeFolder(path);
    }

    SystemDataFolder real;
    QString root;
    QStringList readOnly;
    QStringList probes;
    QStringList made;
};

class DataFolderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        exeDir = tmp.filePath(QStringLiteral("bin"));
        ASSERT_TRUE(QDir().mkpath(exeDir));
        system.root = tmp.filePath(QStringLiteral("home/.local/share"));
    }
    QString perUser() const { return system.root + QStringLiteral("/Orlith/Sentrel/"); }

    QTemporaryDir tmp;
    QString exeDir;
    TestSystem system;
};

TEST_F(DataFolderTest, WritableExecutableFolderKeepsTheDataAndNoProbeIsLeft)
{
    EXPECT_EQ(ChooseDataFolder(exeDir, system), exeDir + u'/');
    EXPECT_EQ(system.probes, QStringList{exeDir + QStringLiteral("/chk.tmp")});
    EXPECT_TRUE(QDir(exeDir).isEmpty()) << "the probe file is gone";
    EXPECT_FALSE(QFileInfo::exists(system.root)) << "no per-user folder made";
}

TEST_F(DataFolderTest, ReadOnlyExecutableFolderUsesTheCreatedPerUserFolder)
{
    system.readOnly.append(exeDir);
    EXPECT_EQ(ChooseDataFolder(exeDir, system), perUser());
    EXPECT_TRUE(QFileInfo(perUser()).isDir());
    EXPECT_EQ(system.made, (QStringList{system.root + QStringLiteral("/Orlith"),
                                        system.root + QStringLiteral("/Orlith/Sentrel")}));
}

TEST_F(DataFolderTest, StaleProbeFileMakesTheFolderCountAsReadOnly)
{
    QFile stale(exeDir + QStringLiteral("/chk.tmp"));
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    stale.write("left over");
    stale.close();
    EXPECT_EQ(ChooseDataFolder(exeDir, system), perUser());
    EXPECT_EQ(stale.size(), 9) << "the stale file is not touched";
}

TEST_F(DataFolderTest, MissingOrEmptyExecutableFolderUsesThePerUserFolder)
{
    EXPECT_EQ(ChooseDataFolder(tmp.filePath(QStringLiteral("nowhere")), system), perUser());
    EXPECT_EQ(ChooseDataFolder(QString(), system), perUser());
}

TEST_F(DataFolderTest, ExistingPerUserFolderIsUsedAsItIs)
{
    ASSERT_TRUE(QDir().mkpath(perUser()));
    QFile keep(perUser() + QStringLiteral("websites.db"));
    ASSERT_TRUE(keep.open(QIODevice::WriteOnly));
    keep.close();
    system.readOnly.append(exeDir);
    EXPECT_EQ(ChooseDataFolder(exeDir, system), perUser());
    EXPECT_TRUE(keep.exists());
}

TEST_F(DataFolderTest, NoUserDataRootHangsTheNamesOffTheRoot)
{
    // Nothing is created here: the fake's makeFolder is only recorded.
    class NoRoot : public DataFolderSystem {
    public:
        bool probeNewFile(const QString &) override { return false; }
        QString userDataRoot() override { return {}; }
        void makeFolder(const QString &path) override { made.append(path); }
        QStringList made;
    } noRoot;
    EXPECT_EQ(PerUserDataFolder(noRoot), QDir::rootPath() + QStringLiteral("Orlith/Sentrel/"));
}

TEST(SystemDataFolder, ProbeCreatesExclusivelyAndDeletes)
{
    QTemporaryDir dir;
    SystemDataFolder system;
    const QString probe = dir.filePath(QStringLiteral("chk.tmp"));
    EXPECT_TRUE(system.probeNewFile(probe));
    EXPECT_FALSE(QFileInfo::exists(probe));
    EXPECT_TRUE(system.probeNewFile(probe)) << "can be repeated";
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("chk.tmp")));
    EXPECT_FALSE(system.probeNewFile(probe)) << "anything already there fails the probe";
    EXPECT_FALSE(system.probeNewFile(dir.filePath(QStringLiteral("missing/chk.tmp"))));
}

#ifndef Q_OS_WIN
// Sets an environment variable for one test and puts the old state back.
class ScopedEnv {
public:
    ScopedEnv(const char *name, const char *value)
        : name_(name), wasSet_(qEnvironmentVariableIsSet(name)), old_(qgetenv(name))
    {
        set(value);
    }
    ~ScopedEnv()
    {
        if (wasSet_)
            qputenv(name_, old_);
        else
            qunsetenv(name_);
    }
    void set(const char *value)
    {
        if (value)
            qputenv(name_, value);
        else
            qunsetenv(name_);
    }

private:
    const char *name_;
    bool wasSet_;
    QByteArray old_;
};

TEST(SystemDataFolder, UserDataRootFollowsXdgDataHome)
{
    SystemDataFolder system;
    ScopedEnv home("HOME", "/home/someone");
    ScopedEnv xdg("XDG_DATA_HOME", "/data/xdg");
    EXPECT_EQ(system.userDataRoot(), QStringLiteral("/data/xdg"));
    xdg.set("relative/path");
    EXPECT_EQ(system.userDataRoot(), QStringLiteral("/home/someone/.local/share"))
        << "relative paths are ignored";
    xdg.set(nullptr);
    EXPECT_EQ(system.userDataRoot(), QStringLiteral("/home/someone/.local/share"));
    home.set(nullptr);
    EXPECT_EQ(system.userDataRoot(), QString());
}
#endif

TEST(DataFolderOption, GivenFolderIsMadeAbsoluteWithSeparator)
{
    EXPECT_EQ(DataFolderFromOption(QStringLiteral("/srv/sentrel"), QString()),
              QStringLiteral("/srv/sentrel/"));
    EXPECT_EQ(DataFolderFromOption(QStringLiteral("/srv/sentrel/"), QString()),
              QStringLiteral("/srv/sentrel/"));
    EXPECT_EQ(DataFolderFromOption(QStringLiteral("rel"), QString()),
              QDir::currentPath() + QStringLiteral("/rel/"));
}

} // namespace
