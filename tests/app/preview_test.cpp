// The content preview follows the list's current row, however it moved, and
// a long URL in its header neither widens the window nor gets saved as a
// window larger than the screen.
#include "app/codeeditor.h"
#include "app/previewpanel.h"
#include "app/urllistview.h"
#include "storage/geometry.h"
#include "storage/websitedb.h"
#include "support/qtext.h"
#include "windowfixture.h"
#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QRegularExpression>
#include <QScreen>
#include <QTest>
#include <gtest/gtest.h>

namespace sentrel::test {
namespace {

const QString First = QStringLiteral("http://first.test/");
const QString Second = QStringLiteral("http://second.test/");
const QString Third = QStringLiteral("http://third.test/");

void handlePendingEvents()
{
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    QCoreApplication::processEvents();
}

class PreviewTest : public ::testing::Test {
protected:
    // Each URL stored with its own text, so that the editor tells them apart.
    void store(const QList<std::pair<QString, QString>> &pages)
    {
        WebsiteDb db(fixture.dataFolder(), StoreSettings{});
        for (const auto &[url, text] : pages) {
            db.DbAddUrl(url);
            db.DbSaveWebsite(url, text, QStringLiteral("OK"));
        }
    }
    PreviewPanel &preview() { return *fixture.window().contentPanel(); }

    WindowFixture fixture;
};

TEST_F(PreviewTest, ThePreviewFollowsTheCurrentRowWhateverMovesIt)
{
    store(
        {{First, QStringLiteral("one")}, {Second, QStringLiteral("two")}, {Third, QStringLiteral("three")}});
    TAppForm &window = fixture.start();
    UrlListView *list = window.urlList();
    fixture.clickRow(0);
    ASSERT_EQ(preview().url(), First);

    const struct {
        const char *name;
        Qt::Key key;
        QString url;
        QString text;
    } moves[] = {
        {"Down", Qt::Key_Down, Second, QStringLiteral("two")},
        {"End", Qt::Key_End, Third, QStringLiteral("three")},
        {"Up", Qt::Key_Up, Second, QStringLiteral("two")},
        {"Home", Qt::Key_Home, First, QStringLiteral("one")},
    };
    for (const auto &move : moves) {
        QTest::keyClick(list, move.key);
        EXPECT_EQ(preview().url(), move.url) << move.name;
        EXPECT_EQ(preview().editor()->toPlainText(), move.text) << move.name;
    }

    // A current row set by the program, as the options dialog or a right
    // click set it.
    list->setCurrentIndex(list->model()->index(2, 0));
    EXPECT_EQ(preview().url(), Third);
    EXPECT_EQ(preview().editor()->toPlainText(), QStringLiteral("three"));
}

TEST_F(PreviewTest, ALongUrlIsElidedInTheHeaderAndLeavesTheWindowAsWide)
{
    const QString longUrl = QStringLiteral("http://long.test/") + QString(483, u'a');
    ASSERT_EQ(longUrl.size(), 500);
    store({{longUrl, QStringLiteral("long page")}});
    TAppForm &window = fixture.start();
    handlePendingEvents();
    const int width = window.width();

    fixture.clickRow(0);
    handlePendingEvents();
    ASSERT_TRUE(preview().isVisible());
    EXPECT_EQ(window.width(), width);
    EXPECT_EQ(preview().url(), longUrl);
    const QLabel *label = preview().urlLabel();
    EXPECT_LT(label->text().size(), longUrl.size());
    EXPECT_TRUE(label->text().contains(QChar(0x2026))); // the ellipsis
    EXPECT_TRUE(label->text().startsWith(QStringLiteral("http://long.test/")));
    EXPECT_EQ(label->toolTip(), longUrl);

    // A wider window shows more of it.
    const QString narrow = label->text();
    window.resize(window.width() + 40, window.height());
    handlePendingEvents();
    EXPECT_GT(label->text().size(), narrow.size());
}

TEST(GeometryOnScreenTest, ASavedSizeNeverExceedsTheScreen)
{
    const QRect screen(0, 0, 1366, 728);
    const struct {
        const char *name;
        QRect frame;
        QRect saved;
    } cases[] = {
        {"fits", QRect(10, 20, 736, 532), QRect(10, 20, 736, 532)},
        {"too wide", QRect(10, 20, 1737, 532), QRect(10, 20, 1366, 532)},
        {"too tall and wide", QRect(-5, 0, 2000, 900), QRect(-5, 0, 1366, 728)},
    };
    for (const auto &c : cases)
        EXPECT_EQ(sizeWithinScreen(c.frame, screen), c.saved) << c.name;
}

TEST_F(PreviewTest, AWindowWiderThanTheScreenIsSavedAsWideAsTheScreen)
{
    TAppForm &window = fixture.start();
    const QSize available = window.screen()->availableGeometry().size();
    window.resize(available.width() + 900, available.height() + 300);
    handlePendingEvents();
    ASSERT_GT(window.frameGeometry().width(), available.width());

    const QString settings = fixture.settingsText();
    const auto saved = [&](const char *key) {
        const QRegularExpression line(QStringLiteral("%1=(\\d+)").arg(QLatin1String(key)));
        return line.match(settings).captured(1).toInt();
    };
    EXPECT_EQ(saved("Width"), available.width());
    EXPECT_EQ(saved("Height"), available.height());
}

} // namespace
} // namespace sentrel::test
