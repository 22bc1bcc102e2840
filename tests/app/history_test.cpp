// The history of a URL in the main window: "History..." and a double-click on
// a changed row open its dialog, and the preview's "Changes" view follows the
// row clicked.
#include "app/codeeditor.h"
#include "app/previewpanel.h"
#include "app/urllistview.h"
#include "dialogs/diffview.h"
#include "dialogs/historydialog.h"
#include "storage/websitedb.h"
#include "support/qtext.h"
#include "windowfixture.h"
#include <QAction>
#include <QMenu>
#include <QTabBar>
#include <QTest>
#include <gtest/gtest.h>

namespace sentrel::test {
namespace {

const QString Changed = QStringLiteral("http://changed.test/");
const QString Once = QStringLiteral("http://once.test/");

// Row 0 changed once since its first check, row 1 checked once.
class WindowHistoryTest : public ::testing::Test {
protected:
    WindowHistoryTest()
    {
        WebsiteDb db(fixture.dataFolder(), StoreSettings{});
        db.DbAddUrl(Changed);
        db.DbAddUrl(Once);
        db.DbSaveWebsite(Changed, QStringLiteral("price 10\n"), QStringLiteral("OK"));
        db.DbSaveWebsite(Changed, QStringLiteral("price 12\n"), QStringLiteral("Changed!"));
        db.DbSaveWebsite(Once, QStringLiteral("stays\n"), QStringLiteral("OK"));
    }
    void doubleClickRow(int row)
    {
        // The events of a real double-click: QTest::mouseDClick alone sends
        // no press, and a view acts only on a double-click where it was pressed.
        UrlListView *list = fixture.window().urlList();
        const QPoint at = list->visualRect(list->model()->index(row, 0)).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, at);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, at);
        QTest::mouseRelease(list->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    }
    QList<HistoryDialog *> dialogs() { return fixture.window().findChildren<HistoryDialog *>(); }

    WindowFixture fixture;
};

TEST_F(WindowHistoryTest, HistoryMenuItemOpensTheFirstSelectedRowsHistoryModeless)
{
    TAppForm &window = fixture.start();
    ASSERT_EQ(fixture.captions(), QStringList({Changed, Once}));
    fixture.selectRows({1});
    window.commands().History1->trigger();
    ASSERT_EQ(dialogs().size(), 1);
    HistoryDialog *dialog = dialogs().front();
    EXPECT_EQ(dialog->windowTitle(), u16(u"History - http://once.test/"));
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_FALSE(dialog->isModal());
    EXPECT_EQ(dialog->diffView()->message(), u16(u"No earlier version"));
    EXPECT_TRUE(window.commands().PopupMenu1->actions().contains(window.commands().History1));
}

TEST_F(WindowHistoryTest, DoubleClickOpensTheHistoryOfAChangedRowOnly)
{
    TAppForm &window = fixture.start();
    // The cells as the run that found the change left them.
    window.urlModel().setStatus(window.urlModel().idAt(0), u16(u"Changed!"));
    window.urlModel().setStatus(window.urlModel().idAt(1), u16(u"OK"));
    doubleClickRow(1);
    EXPECT_TRUE(dialogs().isEmpty());
    doubleClickRow(0);
    ASSERT_EQ(dialogs().size(), 1);
    EXPECT_EQ(dialogs().front()->url(), Changed);
    EXPECT_EQ(dialogs().front()->diffView()->lines()->rows().size(), 3u); // separator, -, +
    EXPECT_TRUE(window.store().isOpen());
}

TEST_F(WindowHistoryTest, ChangesViewShowsTheClickedRowsNewestChange)
{
    TAppForm &window = fixture.start();
    PreviewPanel *panel = window.contentPanel();
    ASSERT_EQ(panel->viewTabs()->count(), 2);
    EXPECT_EQ(panel->viewTabs()->tabText(PreviewPanel::TextView), u16(u"Text"));
    EXPECT_EQ(panel->viewTabs()->tabText(PreviewPanel::ChangesView), u16(u"Changes"));

    fixture.selectRows({0});
    fixture.clickRow(0);
    EXPECT_EQ(panel->editor()->toPlainText(), u16(u"price 12\n"));
    panel->viewTabs()->setCurrentIndex(PreviewPanel::ChangesView);
    const std::vector<DiffRow> &rows = panel->changesView()->lines()->rows();
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[1].kind, DiffRow::Kind::Removed);
    EXPECT_EQ(rows[1].text, u16(u"price 10"));
    EXPECT_EQ(rows[2].kind, DiffRow::Kind::Added);
    EXPECT_EQ(rows[2].newLine, 1);
    EXPECT_EQ(rows[2].text, u16(u"price 12"));

    // With the Changes view on, the next click fills it at once.
    fixture.selectRows({1});
    fixture.clickRow(1);
    EXPECT_EQ(panel->changesView()->message(), u16(u"No earlier version"));
    EXPECT_TRUE(panel->changesView()->lines()->rows().empty());

    // Hiding the panel (as a run does) empties both views.
    window.ContentPanelGizle();
    EXPECT_FALSE(panel->isVisible());
    EXPECT_TRUE(panel->changesView()->message().isEmpty());
}

} // namespace
} // namespace sentrel::test
