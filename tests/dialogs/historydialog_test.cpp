// The history dialog over a real store: its list, what a selection shows,
// the keyboard, and how it is opened from the URL list.
#include "dialogs/diffview.h"
#include "dialogs/historydialog.h"
#include "fakes.h"
#include "support/qtext.h"
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

using namespace sentrel;
using namespace sentrel::test;

namespace {

const QString Url = QStringLiteral("http://a.test/");

// Rows, newest first: 0 "v4", 1 "v3", 2 options edited, 3 "v2", 4 "v1".
class HistoryDialogTest : public ::testing::Test {
protected:
    HistoryDialogTest()
    {
        store.db().DbAddUrl(Url);
        rows.appendRow(Url, QStringLiteral("2026-01-01 10:00:00"), QStringLiteral("Changed!"));
        save(u"v1\nsame\n");
        save(u"v2\nsame\n");
        store.db().editUrl(Url, Url, WebsiteOptions{});
        save(u"v3\nsame\n");
        save(u"v4\nsame\nmore\n");
    }
    void save(const char16_t *text)
    {
        ASSERT_TRUE(store.db().DbSaveWebsite(Url, u16(text), QStringLiteral("Changed!")));
    }
    HistoryContext context() { return {rows.model, rows.selection(), store.access(), errors}; }
    HistoryDialog *open()
    {
        rows.selectOnly(0);
        HistoryDialog *dialog = History1Click(context(), nullptr);
        if (dialog)
            (void)QTest::qWaitForWindowExposed(dialog);
        return dialog;
    }
    static QStringList column(const HistoryDialog &dialog, int column)
    {
        QStringList out;
        for (int i = 0; i < dialog.versions()->topLevelItemCount(); ++i)
            out.append(dialog.versions()->topLevelItem(i)->text(column));
        return out;
    }
    static QStringList shownLines(const HistoryDialog &dialog)
    {
        QStringList out;
        for (const DiffRow &row : dialog.diffView()->lines()->rows())
            out.append(diffRowMark(row.kind) + row.text);
        return out;
    }
    void clickVersion(HistoryDialog &dialog, int row, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTreeWidget *list = dialog.versions();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, modifiers,
                          list->visualItemRect(list->topLevelItem(row)).center());
    }

    TempStore store;
    ListRows rows;
    RecordedErrors errors;
};

} // namespace

TEST_F(HistoryDialogTest, ListsTheVersionsNewestFirstAndShowsTheNewestChange)
{
    QPointer<HistoryDialog> dialog = open();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->windowTitle(), u16(u"History - http://a.test/"));
    EXPECT_FALSE(dialog->isModal());
    EXPECT_TRUE(dialog->testAttribute(Qt::WA_DeleteOnClose));
    EXPECT_EQ(column(*dialog, HistoryDialog::StatusColumn),
              QStringList({u16(u"Changed!"), u16(u"Changed!"), u16(u"Options edited"), u16(u"Changed!"),
                           u16(u"Changed!")}));
    // The first text after the options edit, and the very first, have no counts.
    EXPECT_EQ(column(*dialog, HistoryDialog::LinesColumn),
              QStringList({u16(u"+2 -1"), QString(), QString(), u16(u"+1 -1"), QString()}));
    for (const QString &time : column(*dialog, HistoryDialog::TimeColumn))
        EXPECT_EQ(time.size(), 19) << time.toStdString(); // yyyy-mm-dd hh:nn:ss

    EXPECT_EQ(dialog->versions()->currentIndex().row(), 0);
    EXPECT_EQ(shownLines(*dialog),
              QStringList({u16(u"@@ -1,2 +1,3 @@"), u16(u"-v3"), u16(u"+v4"), u16(u" same"), u16(u"+more")}));
    EXPECT_TRUE(errors.texts.isEmpty());
    dialog->close();
}

TEST_F(HistoryDialogTest, ArrowKeysWalkTheVersionsAndEscapeCloses)
{
    QPointer<HistoryDialog> dialog = open();
    ASSERT_NE(dialog, nullptr);
    QTreeWidget *list = dialog->versions();
    EXPECT_EQ(QApplication::focusWidget(), list);

    QTest::keyClick(list, Qt::Key_Down); // v3, the first text after the options edit
    EXPECT_EQ(list->selectedItems().size(), 1);
    EXPECT_EQ(dialog->diffView()->message(), u16(u"No earlier version"));
    QTest::keyClick(list, Qt::Key_Down); // the options edit itself
    EXPECT_TRUE(dialog->diffView()->message().startsWith(u16(u"The options were edited")));
    QTest::keyClick(list, Qt::Key_Down); // v2 against v1
    EXPECT_TRUE(dialog->diffView()->message().isEmpty());
    EXPECT_EQ(shownLines(*dialog),
              QStringList({u16(u"@@ -1,2 +1,2 @@"), u16(u"-v1"), u16(u"+v2"), u16(u" same")}));
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(list, Qt::Key_Up);
    EXPECT_EQ(list->currentIndex().row(), 0);
    EXPECT_EQ(shownLines(*dialog).value(2), u16(u"+v4"));

    QTest::keyClick(list, Qt::Key_Escape);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(dialog.isNull()); // closed, and deleted with it
}

TEST_F(HistoryDialogTest, CtrlClickComparesTwoVersions)
{
    QPointer<HistoryDialog> dialog = open();
    ASSERT_NE(dialog, nullptr);
    clickVersion(*dialog, 4);
    EXPECT_EQ(dialog->diffView()->message(), u16(u"No earlier version"));
    clickVersion(*dialog, 0, Qt::ControlModifier); // v1 against v4, across the options edit
    EXPECT_EQ(dialog->versions()->selectedItems().size(), 2);
    EXPECT_EQ(shownLines(*dialog),
              QStringList({u16(u"@@ -1,2 +1,3 @@"), u16(u"-v1"), u16(u"+v4"), u16(u" same"), u16(u"+more")}));
    EXPECT_TRUE(dialog->diffView()->heading().endsWith(u16(u"+2 -1 lines")));
    clickVersion(*dialog, 3); // a plain click selects one again: v2 against v1
    EXPECT_EQ(shownLines(*dialog).value(2), u16(u"+v2"));
    dialog->close();
}

TEST_F(HistoryDialogTest, OpensOnTheFirstSelectedRowAndOnDoubleClickOnlyWhenChanged)
{
    const QString other = QStringLiteral("http://b.test/");
    store.db().DbAddUrl(other);
    rows.appendRow(other, QString(), QStringLiteral("OK"));
    rows.selected = {rows.model.idAt(1), rows.model.idAt(0)};
    QPointer<HistoryDialog> first = History1Click(context(), nullptr);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->url(), Url); // list order, not selection order
    first->close();

    EXPECT_EQ(openHistoryOfChangedRow(context(), rows.model.idAt(1), nullptr), nullptr);
    QPointer<HistoryDialog> changed = openHistoryOfChangedRow(context(), rows.model.idAt(0), nullptr);
    ASSERT_NE(changed, nullptr);
    EXPECT_EQ(changed->url(), Url);
    changed->close();

    // A URL never checked: an empty list and why.
    rows.selectOnly(1);
    QPointer<HistoryDialog> unchecked = History1Click(context(), nullptr);
    ASSERT_NE(unchecked, nullptr);
    EXPECT_EQ(unchecked->versions()->topLevelItemCount(), 0);
    EXPECT_EQ(unchecked->diffView()->message(), u16(u"No saved text yet"));
    unchecked->close();

    rows.selected.clear();
    EXPECT_EQ(History1Click(context(), nullptr), nullptr);
}

TEST_F(HistoryDialogTest, AStoreThatIsNotOpenIsReportedAndOpensNothing)
{
    store.close();
    rows.selectOnly(0);
    EXPECT_EQ(History1Click(context(), nullptr), nullptr);
    ASSERT_EQ(errors.texts.size(), 1);
    EXPECT_TRUE(errors.texts.front().contains(u16(u"not open"))) << errors.texts.front().toStdString();
}
