#include "storage/geometry.h"
#include "storage/settingskeys.h"
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace sentrel;

namespace {

const QString S = QStringLiteral("Settings");
const QSize screen(1920, 1080);

class GeometryTest : public ::testing::Test {
protected:
    SettingsFile settingsWith(const char *lines)
    {
        QFile f(dir.filePath(QStringLiteral("settings.ini")));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray("[Settings]\n") + lines);
        f.close();
        return SettingsFile::open(dir.path());
    }
    QByteArray iniBytes() const
    {
        QFile f(dir.filePath(QStringLiteral("settings.ini")));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    QTemporaryDir dir;
};

TEST_F(GeometryTest, RestorePlanFollowsTheStoredKeys)
{
    const struct {
        const char *name;
        const char *lines;
        std::optional<QPoint> position;
        std::optional<int> width, height;
        bool maximized;
    } cases[] = {
        {"nothing stored: centred at design size", "", {}, {}, {}, false},
        {"full set", "Left=100\nTop=50\nWidth=800\nHeight=600\nWindowState=Normal\n", QPoint(100, 50), 800,
         600, false},
        {"Left without Top stays centred", "Left=100\n", {}, {}, {}, false},
        {"Top without Left stays centred", "Top=100\n", {}, {}, {}, false},
        {"position is not checked against the screen",
         "Left=-3000\nTop=5000\n",
         QPoint(-3000, 5000),
         {},
         {},
         false},
        {"unreadable coordinates read as 0", "Left=abc\nTop=\n", QPoint(0, 0), {}, {}, false},
        {"wider than the screen is ignored", "Width=5000\nHeight=2000\n", {}, {}, {}, false},
        {"exactly the screen size fits", "Width=1920\nHeight=1080\n", {}, 1920, 1080, false},
        {"zero is ignored", "Width=0\nHeight=0\n", {}, {}, {}, false},
        {"negative is ignored", "Width=-5\nHeight=-1\n", {}, {}, {}, false},
        {"maximized", "WindowState=Maximized\n", {}, {}, {}, true},
        {"maximized needs the exact value", "WindowState=maximized\n", {}, {}, {}, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const GeometryRestore r = planGeometryRestore(settingsWith(c.lines), screen);
        EXPECT_EQ(r.position, c.position);
        EXPECT_EQ(r.width, c.width);
        EXPECT_EQ(r.height, c.height);
        EXPECT_EQ(r.maximized, c.maximized);
    }
}

TEST_F(GeometryTest, NothingIsWrittenBeforeStartUpIsComplete)
{
    SettingsFile s = SettingsFile::open(dir.path());
    GeometryMemory memory(s);
    memory.windowResized(WindowSizeState::Normal, QRect(10, 20, 800, 600));
    memory.windowMoved(QPoint(30, 40));
    EXPECT_FALSE(s.valueExists(S, u"Left"));
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("settings.ini"))));
}

TEST_F(GeometryTest, NormalResizeWritesBoundsInOrderAndMoveWritesPosition)
{
    SettingsFile s = SettingsFile::open(dir.path());
    GeometryMemory memory(s);
    memory.setStartupComplete(true);
    memory.windowResized(WindowSizeState::Normal, QRect(10, 20, 800, 600));
    EXPECT_EQ(iniBytes(),
              QByteArray("\xEF\xBB\xBF[Settings]\r\nLeft=10\r\nTop=20\r\nHeight=600\r\nWidth=800\r\n"
                         "WindowState=Normal\r\n\r\n"));
    memory.windowMoved(QPoint(-5, 7));
    EXPECT_EQ(iniBytes(),
              QByteArray("\xEF\xBB\xBF[Settings]\r\nLeft=-5\r\nTop=7\r\nHeight=600\r\nWidth=800\r\n"
                         "WindowState=Normal\r\n\r\n"));
}

TEST_F(GeometryTest, MaximizedThenClosedStartsMaximizedWithTheLastNormalSize)
{
    {
        SettingsFile s = SettingsFile::open(dir.path());
        GeometryMemory memory(s);
        memory.setStartupComplete(true);
        memory.windowResized(WindowSizeState::Normal, QRect(100, 80, 900, 700));
        memory.windowResized(WindowSizeState::Maximized, QRect(0, 0, 1920, 1050));
        memory.windowResized(WindowSizeState::Minimized, QRect(0, 0, 160, 30));
    }
    const GeometryRestore r = planGeometryRestore(SettingsFile::open(dir.path()), screen);
    EXPECT_TRUE(r.maximized);
    EXPECT_EQ(r.position, QPoint(100, 80));
    EXPECT_EQ(r.width, 900);
    EXPECT_EQ(r.height, 700);
}

TEST_F(GeometryTest, MinimizedResizeStillRewritesTheFile)
{
    SettingsFile s = settingsWith("Beep=ON\n");
    s.setString(S, u"Beep", QStringLiteral("OFF")); // changed in memory, not yet saved
    GeometryMemory memory(s);
    memory.setStartupComplete(true);
    memory.windowResized(WindowSizeState::Minimized, QRect(0, 0, 160, 30));
    EXPECT_EQ(iniBytes(), QByteArray("\xEF\xBB\xBF[Settings]\r\nBeep=OFF\r\n\r\n"));
}

} // namespace
