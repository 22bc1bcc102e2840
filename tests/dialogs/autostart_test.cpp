#include "app/autostart.h"
#include "support/qtext.h"
#include "text/error.h"
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <map>

using namespace sentrel;

namespace {

const QString title = QStringLiteral("Orlith - Sentrel");

class FakeAutostart : public AutostartStore {
public:
    std::optional<QString> read(const QString &name) const override
    {
        const auto it = entries.find(name);
        return it == entries.end() ? std::nullopt : std::optional<QString>(it->second);
    }
    void write(const QString &name, const QString &command) override
    {
        if (failing)
            throw Error(QStringLiteral("access denied"));
        entries[name] = command;
    }
    void remove(const QString &name) override
    {
        if (failing)
            throw Error(QStringLiteral("access denied"));
        entries.erase(name);
    }
    std::map<QString, QString> entries;
    bool failing = false;
};

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

TEST(AutostartCommand, QuotedPathThenAuto)
{
    EXPECT_EQ(autostartCommand(QStringLiteral("/opt/sentrel/bin/sentrel")),
              QStringLiteral("\"/opt/sentrel/bin/sentrel\" /auto"));
}

TEST(XdgAutostart, FolderFollowsXdgConfigHome)
{
    const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", "/tmp/cfg-home");
    EXPECT_EQ(xdgAutostartFolder(), QStringLiteral("/tmp/cfg-home/autostart"));
    qputenv("XDG_CONFIG_HOME", "relative/not/used");
    EXPECT_EQ(xdgAutostartFolder(), QDir::homePath() + QStringLiteral("/.config/autostart"));
    qunsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(xdgAutostartFolder(), QDir::homePath() + QStringLiteral("/.config/autostart"));
    if (!saved.isNull())
        qputenv("XDG_CONFIG_HOME", saved);
}

TEST(XdgAutostart, EntryWrittenReadBackAndRemoved)
{
    QTemporaryDir dir;
    XdgAutostart store(dir.path() + QStringLiteral("/autostart")); // created on first write
    EXPECT_EQ(store.read(title), std::nullopt);
    const QString path = dir.path() + QStringLiteral("/autostart/Orlith - Sentrel.desktop");
    EXPECT_EQ(store.entryPath(title), path);

    const QString exe = QStringLiteral("/home/a user/My \"apps\"/$bin\\sentrel");
    store.write(title, autostartCommand(exe));
    const QByteArray text = readAll(path);
    EXPECT_TRUE(text.startsWith("[Desktop Entry]\n")) << text.toStdString();
    EXPECT_TRUE(text.contains("\nType=Application\n"));
    EXPECT_TRUE(text.contains("\nName=Orlith - Sentrel\n"));
    // Exec quoting: '"', '$' and '\' escaped inside the quotes, then the
    // backslashes doubled for the file's string value.
    EXPECT_TRUE(text.contains("\nExec=\"/home/a user/My \\\\\"apps\\\\\"/\\\\$bin\\\\\\\\sentrel\" /auto\n"))
        << text.toStdString();
    EXPECT_EQ(store.read(title), autostartCommand(exe));

    store.remove(title);
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_EQ(store.read(title), std::nullopt);
    store.remove(title); // nothing to delete is no error
}

TEST(XdgAutostart, UnwritableFolderThrows)
{
    QTemporaryDir dir;
    QFile blocker(dir.path() + QStringLiteral("/autostart"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly)); // a file where the folder should be
    blocker.close();
    XdgAutostart store(dir.path() + QStringLiteral("/autostart"));
    EXPECT_THROW(store.write(title, QStringLiteral("\"/x\" /auto")), Error);
}

TEST(DesktopEntry, CommandOnlyFromTheMainGroup)
{
    EXPECT_EQ(
        desktopEntryCommand(QStringLiteral("[Other]\nExec=no\n[Desktop Entry]\nExec = \"/a b\" /auto\n")),
        QStringLiteral("\"/a b\" /auto"));
    EXPECT_EQ(desktopEntryCommand(QStringLiteral("[Desktop Entry]\nName=x\n")), std::nullopt);
    EXPECT_EQ(desktopEntryCommand(QStringLiteral("[Desktop Entry]\nExec=\n")), QString());
    EXPECT_EQ(desktopEntryCommand(QStringLiteral("[Desktop Entry]\nExec=/x\nHidden=true\n")), std::nullopt);
    EXPECT_EQ(
        desktopEntryCommand(QStringLiteral("[Desktop Entry]\nExec=/x\nX-GNOME-Autostart-enabled=false\n")),
        std::nullopt);
    EXPECT_EQ(desktopEntryCommand(QStringLiteral("[Desktop Entry]\nExec=/x\nHidden=false\n")),
              QStringLiteral("/x"));
}

TEST(AutostartItems, StartupReadsTheEntry)
{
    FakeAutostart store;
    EXPECT_EQ(autostartItemsAtStartup(store, title, true), (AutostartItems{false, true, false}));
    store.entries[title] = QString();
    EXPECT_EQ(autostartItemsAtStartup(store, title, true), (AutostartItems{false, true, false}));
    store.entries[title] = QStringLiteral("\"/x\" /auto");
    EXPECT_EQ(autostartItemsAtStartup(store, title, false), (AutostartItems{true, false, true}));
}

TEST(AutostartItems, ToggleOnWritesOffRemovesAndTurnsMinimizeOff)
{
    FakeAutostart store;
    std::vector<bool> written;
    const auto setMinimize = [&](bool on) { written.push_back(on); };
    AutostartItems items{false, false, false};
    toggleAutostart(items, store, title, QStringLiteral("/usr/bin/sentrel"), setMinimize);
    EXPECT_EQ(items, (AutostartItems{true, false, true}));
    EXPECT_EQ(store.entries.at(title), QStringLiteral("\"/usr/bin/sentrel\" /auto"));

    items.minimizeAtStartup = true;
    toggleAutostart(items, store, title, QStringLiteral("/usr/bin/sentrel"), setMinimize);
    EXPECT_EQ(items, (AutostartItems{false, false, false}));
    EXPECT_TRUE(store.entries.empty());
    EXPECT_EQ(written, std::vector<bool>{false});

    // Minimize at Startup already off: no setting written.
    toggleAutostart(items, store, title, QStringLiteral("/usr/bin/sentrel"), setMinimize);
    toggleAutostart(items, store, title, QStringLiteral("/usr/bin/sentrel"), setMinimize);
    EXPECT_EQ(written.size(), 1u);
}

TEST(AutostartItems, FailedWriteThrowsWithTheCheckMarkAlreadyChanged)
{
    FakeAutostart store;
    store.failing = true;
    AutostartItems items;
    EXPECT_THROW(toggleAutostart(items, store, title, QStringLiteral("/x"), [](bool) {}), Error);
    EXPECT_TRUE(items.autoRun);
}
