#include "storage/datafolder.h"
#include "storage/programfiles.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace sentrel;

namespace {

// A tree PREFIX/bin + PREFIX/share/sentrel in which each case puts the
// template store and the Languages folder where it says.
struct LayoutCase {
    const char *name;
    bool templateBesideExe, languagesBesideExe;
    bool shareFolder, templateInShare, languagesInShare;
    bool installed;
    bool templateFromShare, languagesFromShare;
};

const LayoutCase Layouts[] = {
    // name                     exe: db  lang  share: dir db    lang   installed  from share: db lang
    {"build folder", true, true, false, false, false, false, false, false},
    {"installed tree", false, false, true, true, true, true, true, true},
    {"files beside exe win", true, true, true, true, true, false, false, false},
    {"each file looked up alone", false, true, true, true, true, true, true, false},
    {"share without the files", false, false, true, false, false, true, false, false},
    {"nothing anywhere", false, false, false, false, false, false, false, false},
};

void touch(const QString &path)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
}

TEST(ProgramFiles, LookupBesideTheExecutableFirstThenInTheInstalledFolder)
{
    for (const LayoutCase &c : Layouts) {
        SCOPED_TRACE(c.name);
        QTemporaryDir prefix;
        const QString bin = prefix.filePath(QStringLiteral("bin"));
        const QString share = prefix.filePath(QStringLiteral("share/sentrel"));
        ASSERT_TRUE(QDir().mkpath(bin));
        if (c.shareFolder) {
            ASSERT_TRUE(QDir().mkpath(share));
        }
        if (c.templateBesideExe)
            touch(bin + QStringLiteral("/empty.db"));
        if (c.languagesBesideExe) {
            ASSERT_TRUE(QDir().mkpath(bin + QStringLiteral("/Languages")));
        }
        if (c.templateInShare)
            touch(share + QStringLiteral("/empty.db"));
        if (c.languagesInShare) {
            ASSERT_TRUE(QDir().mkpath(share + QStringLiteral("/Languages")));
        }

        EXPECT_EQ(IsInstalledProgram(bin), c.installed);
        const ProgramFiles files = LocateProgramFiles(bin);
        EXPECT_EQ(files.templatePath, (c.templateFromShare ? share : bin) + QStringLiteral("/empty.db"));
        EXPECT_EQ(files.languagesParent, c.languagesFromShare ? share : bin);
    }
}

TEST(ProgramFiles, NoExecutableFolderNamesNothing)
{
    EXPECT_FALSE(IsInstalledProgram(QString()));
    const ProgramFiles files = LocateProgramFiles(QString());
    EXPECT_TRUE(files.templatePath.isEmpty());
    EXPECT_TRUE(files.languagesParent.isEmpty());
}

TEST(ProgramFiles, RelativeExecutableFolderResolvesToAbsolutePaths)
{
    QTemporaryDir prefix;
    ASSERT_TRUE(QDir().mkpath(prefix.filePath(QStringLiteral("bin"))));
    ASSERT_TRUE(QDir().mkpath(prefix.filePath(QStringLiteral("share/sentrel/Languages"))));
    touch(prefix.filePath(QStringLiteral("share/sentrel/empty.db")));
    const QString old = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(prefix.path()));
    const ProgramFiles files = LocateProgramFiles(QStringLiteral("bin"));
    QDir::setCurrent(old);
    EXPECT_EQ(files.templatePath, prefix.filePath(QStringLiteral("share/sentrel/empty.db")));
    EXPECT_EQ(files.languagesParent, prefix.filePath(QStringLiteral("share/sentrel")));
}

// The probe of the executable folder, with the per-user root inside the test.
class RecordingSystem : public DataFolderSystem {
public:
    bool probeNewFile(const QString &path) override
    {
        probes.append(path);
        return real.probeNewFile(path);
    }
    QString userDataRoot() override { return root; }
    void makeFolder(const QString &path) override { real.makeFolder(path); }
    QString root;
    QStringList probes;
    SystemDataFolder real;
};

TEST(ProgramFiles, InstalledProgramKeepsItsDataPerUserEvenInAWritableBinFolder)
{
    // Root running PREFIX/bin/sentrel can write to PREFIX/bin; the data must
    // still not land among the installed files.
    QTemporaryDir prefix;
    const QString bin = prefix.filePath(QStringLiteral("bin"));
    ASSERT_TRUE(QDir().mkpath(bin));
    ASSERT_TRUE(QDir().mkpath(prefix.filePath(QStringLiteral("share/sentrel"))));
    touch(prefix.filePath(QStringLiteral("share/sentrel/empty.db")));
    RecordingSystem system;
    system.root = prefix.filePath(QStringLiteral("home/.local/share"));
    EXPECT_EQ(ChooseDataFolder(bin, system), system.root + QStringLiteral("/Orlith/Sentrel/"));
    EXPECT_TRUE(system.probes.isEmpty()) << "the installed bin folder is not even probed";
    EXPECT_TRUE(QDir(bin).isEmpty());
}

} // namespace
