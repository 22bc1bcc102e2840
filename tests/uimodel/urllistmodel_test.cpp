#include "uimodel/urllistmodel.h"
#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <gtest/gtest.h>

using namespace sentrel;

namespace {

QString cell(const UrlListModel &list, int row, int column, int role = Qt::DisplayRole)
{
    return list.data(list.index(row, column), role).toString();
}

// A model whose every change is checked by Qt's own tester for the
// promises views rely on (row counts, parents, signals in the right order).
class UrlListModelTest : public testing::Test {
protected:
    UrlListModel list;
    QAbstractItemModelTester tester{&list, QAbstractItemModelTester::FailureReportingMode::Fatal};
};

TEST_F(UrlListModelTest, ShowsTheDesktopsColumnsAndTheUrlAsTooltip)
{
    list.append({QStringLiteral("http://a/"), QStringLiteral("2024-01-02 03:04:05"), QStringLiteral("OK")});
    EXPECT_EQ(list.columnCount(), 3);
    EXPECT_EQ(list.headerData(UrlListModel::UrlColumn, Qt::Horizontal).toString(), u"URL");
    EXPECT_EQ(list.headerData(UrlListModel::LastChangeColumn, Qt::Horizontal).toString(), u"Last Change");
    EXPECT_EQ(list.headerData(UrlListModel::StatusColumn, Qt::Horizontal).toString(), u"Status");
    EXPECT_EQ(cell(list, 0, UrlListModel::UrlColumn), u"http://a/");
    EXPECT_EQ(cell(list, 0, UrlListModel::LastChangeColumn), u"2024-01-02 03:04:05");
    EXPECT_EQ(cell(list, 0, UrlListModel::StatusColumn), u"OK");
    EXPECT_EQ(cell(list, 0, UrlListModel::UrlColumn, Qt::ToolTipRole), u"http://a/");
    EXPECT_FALSE(list.flags(list.index(0, 0)) & Qt::ItemIsEditable);
}

TEST_F(UrlListModelTest, IdsStayWithTheirRowsAndAreNeverReused)
{
    const QList<RowId> ids = list.appendMany(
        {{QStringLiteral("a"), {}, {}}, {QStringLiteral("b"), {}, {}}, {QStringLiteral("c"), {}, {}}});
    ASSERT_EQ(ids.size(), 3);
    list.remove(ids[0]);
    EXPECT_EQ(list.rowOf(ids[0]), -1);
    EXPECT_FALSE(list.contains(ids[0]));
    EXPECT_EQ(list.rowOf(ids[1]), 0);
    EXPECT_EQ(list.rowOf(ids[2]), 1);
    EXPECT_EQ(list.idAt(1), ids[2]);
    EXPECT_EQ(list.url(ids[2]), u"c");

    const RowId again = list.append({QStringLiteral("a"), {}, {}});
    EXPECT_FALSE(ids.contains(again)) << "a deleted row's id never names another row";
    list.setStatus(ids[0], QStringLiteral("late outcome"));
    EXPECT_EQ(list.status(again), QString()) << "a write to a gone row goes nowhere";
    EXPECT_EQ(list.url(ids[0]), QString());
    list.remove(ids[0]); // gone already: nothing happens
    EXPECT_EQ(list.count(), 3);
}

TEST_F(UrlListModelTest, LookupsFollowRemovalsAndRenames)
{
    const QList<RowId> ids = list.appendMany({{QStringLiteral("http://a/"), {}, {}},
                                              {QStringLiteral(" http://b/ "), {}, {}},
                                              {QStringLiteral("http://c/"), {}, {}}});
    EXPECT_EQ(list.findCaption(QStringLiteral("http://c/")), ids[2]);
    EXPECT_FALSE(list.findCaption(QStringLiteral("http://b/"))) << "captions match exactly";
    EXPECT_TRUE(list.listsUrl(u"http://b/")) << "a check's URL is the trimmed caption";

    list.remove(ids[0]);
    EXPECT_FALSE(list.findCaption(QStringLiteral("http://a/")));
    EXPECT_FALSE(list.listsUrl(u"http://a/"));
    EXPECT_EQ(list.findCaption(QStringLiteral("http://c/")), ids[2]);

    list.setStatus(ids[2], QStringLiteral("OK"));
    list.setLastChange(ids[2], QStringLiteral("then"));
    list.rename(ids[2], QStringLiteral("http://d/"));
    EXPECT_FALSE(list.findCaption(QStringLiteral("http://c/")));
    EXPECT_FALSE(list.listsUrl(u"http://c/"));
    EXPECT_EQ(list.findCaption(QStringLiteral("http://d/")), ids[2]);
    EXPECT_EQ(list.status(ids[2]), QString()) << "a renamed row starts over";
    EXPECT_EQ(list.lastChange(ids[2]), QString());
}

TEST_F(UrlListModelTest, AUrlStoredTwiceIsFoundAtItsFirstRowUntilBothAreGone)
{
    const QList<RowId> ids = list.appendMany(
        {{QStringLiteral("x"), {}, {}}, {QStringLiteral("y"), {}, {}}, {QStringLiteral("x"), {}, {}}});
    EXPECT_EQ(list.findCaption(QStringLiteral("x")), ids[0]);
    list.remove(ids[0]);
    EXPECT_EQ(list.findCaption(QStringLiteral("x")), ids[2]);
    EXPECT_TRUE(list.listsUrl(u"x"));
    list.remove(ids[2]);
    EXPECT_FALSE(list.listsUrl(u"x"));
}

TEST_F(UrlListModelTest, AViewHearsOfEveryChangeOnce)
{
    QSignalSpy inserted(&list, &QAbstractItemModel::rowsInserted);
    QSignalSpy removed(&list, &QAbstractItemModel::rowsRemoved);
    QSignalSpy changed(&list, &QAbstractItemModel::dataChanged);

    const QList<RowId> ids = list.appendMany(
        {{QStringLiteral("a"), {}, {}}, {QStringLiteral("b"), {}, {}}, {QStringLiteral("c"), {}, {}}});
    ASSERT_EQ(inserted.size(), 1) << "a whole list is one insertion";
    EXPECT_EQ(inserted[0][1].toInt(), 0);
    EXPECT_EQ(inserted[0][2].toInt(), 2);

    list.setStatus(ids[1], QStringLiteral("OK"));
    ASSERT_EQ(changed.size(), 1);
    EXPECT_EQ(changed[0][0].toModelIndex(), list.index(1, UrlListModel::StatusColumn));
    list.setStatus(ids[1], QStringLiteral("OK"));
    EXPECT_EQ(changed.size(), 1) << "the same text again is no change";

    list.remove(ids[1]);
    ASSERT_EQ(removed.size(), 1);
    EXPECT_EQ(removed[0][1].toInt(), 1);
    list.setLastChange(ids[2], QStringLiteral("now"));
    EXPECT_EQ(changed.last()[0].toModelIndex(), list.index(1, UrlListModel::LastChangeColumn))
        << "the row's position now";

    EXPECT_TRUE(list.appendMany({}).isEmpty());
    EXPECT_EQ(inserted.size(), 1) << "nothing appended, nothing announced";
}

TEST_F(UrlListModelTest, InListOrderSortsByPosition)
{
    const QList<RowId> ids = list.appendMany(
        {{QStringLiteral("a"), {}, {}}, {QStringLiteral("b"), {}, {}}, {QStringLiteral("c"), {}, {}}});
    EXPECT_EQ(list.inListOrder({ids[2], ids[0], ids[1]}), ids);
}

} // namespace
