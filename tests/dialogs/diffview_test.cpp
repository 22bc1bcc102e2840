// The changes of a URL read from a real store, and the diff view that paints
// them: the rows with their numbers, and the colours each kind of row gets.
#include "dialogs/diffview.h"
#include "dialogs/snapshotcompare.h"
#include "fakes.h"
#include "support/qtext.h"
#include <QImage>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

using namespace sentrel;
using namespace sentrel::test;

namespace {

const QString Url = QStringLiteral("http://a.test/");

class SnapshotComparerTest : public ::testing::Test {
protected:
    SnapshotComparerTest() { store.db().DbAddUrl(Url); }
    void save(const QString &text) { ASSERT_TRUE(store.db().DbSaveWebsite(Url, text, QStringLiteral("OK"))); }

    TempStore store;
    SnapshotComparer comparer{store.access()};
};

struct ExpectedRow {
    DiffRow::Kind kind;
    int oldLine, newLine;
    const char16_t *text;
};

void expectRows(const std::vector<DiffRow> &rows, std::initializer_list<ExpectedRow> expected)
{
    ASSERT_EQ(rows.size(), expected.size());
    std::size_t i = 0;
    for (const ExpectedRow &e : expected) {
        SCOPED_TRACE(i);
        EXPECT_EQ(rows[i].kind, e.kind);
        EXPECT_EQ(rows[i].oldLine, e.oldLine);
        EXPECT_EQ(rows[i].newLine, e.newLine);
        EXPECT_EQ(rows[i].text, u16(e.text));
        ++i;
    }
}

using K = DiffRow::Kind;

} // namespace

TEST_F(SnapshotComparerTest, NewestChangeIsThePreviousTextAgainstTheNewest)
{
    save(QStringLiteral("alpha\nbeta\ngamma\n"));
    save(QStringLiteral("zero\nalpha\nbeta\ngamma\n"));
    save(QStringLiteral("zero\nalpha\nbeta\tnow\ngamma\ndelta\n"));
    const ChangeView view = comparer.newestChangeOf(Url);
    EXPECT_TRUE(view.message.isEmpty());
    EXPECT_TRUE(view.heading.startsWith(u16(u"Changed "))) << view.heading.toStdString();
    EXPECT_TRUE(view.heading.endsWith(u16(u"+2 -1 lines"))) << view.heading.toStdString();
    expectRows(view.rows, {{K::Separator, 0, 0, u"@@ -1,4 +1,5 @@"},
                           {K::Context, 1, 1, u"zero"},
                           {K::Context, 2, 2, u"alpha"},
                           {K::Removed, 3, 0, u"beta"},
                           {K::Added, 0, 3, u"beta now"}, // the tab as one blank
                           {K::Context, 4, 4, u"gamma"},
                           {K::Added, 0, 5, u"delta"}});
    // Only the new word of the changed line is marked; a line added whole
    // has its line colour alone.
    EXPECT_EQ(view.rows[4].text.mid(view.rows[4].changedWords.at(0).start), u16(u" now"));
    EXPECT_TRUE(view.rows[6].changedWords.empty());
}

TEST_F(SnapshotComparerTest, FirstTextNoTextAndClosedStore)
{
    EXPECT_EQ(comparer.newestChangeOf(Url).message, u16(u"No saved text yet"));
    save(QStringLiteral("only\n"));
    const ChangeView first = comparer.newestChangeOf(Url);
    EXPECT_EQ(first.message, u16(u"No earlier version"));
    EXPECT_TRUE(first.heading.startsWith(u16(u"Saved ")));
    EXPECT_TRUE(first.rows.empty());

    store.close();
    const ChangeView closed = comparer.newestChangeOf(Url);
    EXPECT_TRUE(closed.heading.isEmpty());
    EXPECT_TRUE(closed.message.isEmpty());
    EXPECT_TRUE(closed.rows.empty());
}

TEST(DiffViewTest, RowsArePaintedInTheirKindsColours)
{
    TextDiff diff = diffTexts(u16(u"keep\nold words here\n"), u16(u"keep\nnew words here\nadded\n"),
                              DiffOptions{3, true});
    ChangeView change{QStringLiteral("Changed 2024-01-15 12:00:00"), QString(), diffRows(diff)};
    DiffView view;
    view.resize(600, 300);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    view.showChange(change);
    EXPECT_EQ(view.heading(), u16(u"Changed 2024-01-15 12:00:00"));
    EXPECT_TRUE(view.lines()->isVisible());

    const DiffLinesView *lines = view.lines();
    const QImage image = lines->viewport()->grab().toImage();
    const int height = lines->rowHeight();
    const int right = image.width() - 3; // past every line's text
    const std::vector<DiffRow> &rows = lines->rows();
    ASSERT_EQ(rows.size(), 5u); // separator, keep, old, new, added
    for (std::size_t i = 0; i < rows.size(); ++i) {
        SCOPED_TRACE(i);
        const int middle = int(i) * height + height / 2;
        EXPECT_EQ(image.pixelColor(right, middle), diffRowColours(rows[i].kind).background);
    }
    EXPECT_EQ(diffRowColours(K::Added).background.green(), 0xff);
    EXPECT_GT(diffRowColours(K::Removed).background.red(), diffRowColours(K::Removed).background.green());

    // The changed word "old" / "new" on the stronger colour, the words
    // both versions share on the line's own.
    const QFontMetrics metrics = lines->fontMetrics();
    const auto pixelAtColumn = [&](int row, int column) {
        return image.pixelColor(lines->textLeft() +
                                    metrics.horizontalAdvance(rows[std::size_t(row)].text.left(column)) + 1,
                                row * height);
    };
    EXPECT_EQ(pixelAtColumn(2, 0), diffRowColours(K::Removed).changedWords);
    EXPECT_EQ(pixelAtColumn(2, 5), diffRowColours(K::Removed).background);
    EXPECT_EQ(pixelAtColumn(3, 0), diffRowColours(K::Added).changedWords);
    EXPECT_EQ(pixelAtColumn(4, 0), diffRowColours(K::Added).background); // "added", new as a whole

    // A removed line is struck through: the blank after its first word is
    // crossed by a dark line, the same blank of the added line is not.
    const auto crossed = [&](int row) {
        const int x =
            lines->textLeft() + metrics.horizontalAdvance(u16(u"old ")) - metrics.horizontalAdvance(u' ') / 2;
        const int strike = row * height + 1 + metrics.ascent() - metrics.strikeOutPos();
        for (int y = strike - 1; y <= strike + 1; ++y)
            if (image.pixelColor(x, y).lightness() < 128)
                return true;
        return false;
    };
    EXPECT_TRUE(crossed(2));
    EXPECT_FALSE(crossed(3));
}

TEST(DiffViewTest, AMessageTakesThePlaceOfTheRowsAndKeysScroll)
{
    DiffView view;
    view.resize(400, 200);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    view.showChange({QStringLiteral("Saved 2024-01-15 12:00:00"), u16(u"No earlier version"), {}});
    EXPECT_EQ(view.message(), u16(u"No earlier version"));
    EXPECT_FALSE(view.lines()->isVisible());

    QString older, newer;
    for (int i = 0; i < 500; ++i) {
        older += QStringLiteral("line %1\n").arg(i);
        newer += QStringLiteral("line %1 changed\n").arg(i);
    }
    view.showChange({QString(), QString(), diffRows(diffTexts(older, newer))});
    ASSERT_TRUE(view.lines()->isVisible());
    EXPECT_EQ(view.lines()->rows().size(), 1001u);
    QTest::keyClick(view.lines(), Qt::Key_Down);
    EXPECT_EQ(view.lines()->verticalScrollBar()->value(), 1);
    QTest::keyClick(view.lines(), Qt::Key_PageDown);
    EXPECT_GT(view.lines()->verticalScrollBar()->value(), 5);
    // A new change starts at its top.
    view.showChange({QString(), QString(), diffRows(diffTexts(older, newer))});
    EXPECT_EQ(view.lines()->verticalScrollBar()->value(), 0);
}
