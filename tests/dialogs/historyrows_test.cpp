// Which versions the history list shows and which two it compares, worked
// out without widgets from hand-made histories (newest first).
#include "dialogs/historyrows.h"
#include "storage/historyschema.h"
#include "support/qtext.h"
#include "support/timezone.h"
#include <gtest/gtest.h>
#include <time.h>

using namespace sentrel;

namespace {

SnapshotRecord snapshot(qint64 id, const char16_t *taken = u"2024-01-15 10:00:00",
                        std::optional<int> added = std::nullopt, std::optional<int> removed = std::nullopt)
{
    return {id, u16(taken), QStringLiteral("Changed!"), historyschema::SnapshotKind, added, removed};
}

SnapshotRecord marker(qint64 id)
{
    return {id, QStringLiteral("2024-01-15 10:00:00"), QString(), historyschema::ResetMarkerKind, {}, {}};
}

using FixedTimeZone = sentrel::test::TimeZoneGuard;

} // namespace

TEST(HistoryRowsTest, LocalTimesCountsAndOptionsEdits)
{
    FixedTimeZone zone("UTC-2");
    std::vector<SnapshotRecord> history{
        snapshot(4, u"2024-01-15 23:30:05", 2, 1),
        snapshot(3, u"2024-01-14 09:00:00", 0, 4),
        marker(2),
        {1, QStringLiteral("2024-01-13 08:00:00"), QStringLiteral("OK"), historyschema::SnapshotKind, {}, {}},
    };
    const std::vector<HistoryRow> rows = historyRows(history);
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0].time, u16(u"2024-01-16 01:30:05")); // the next day in local time
    EXPECT_EQ(rows[0].status, u16(u"Changed!"));
    EXPECT_EQ(rows[0].lines, u16(u"+2 -1"));
    EXPECT_EQ(rows[1].lines, u16(u"+0 -4"));
    EXPECT_TRUE(rows[2].marker);
    EXPECT_EQ(rows[2].status, u16(u"Options edited"));
    EXPECT_TRUE(rows[2].lines.isEmpty());
    // The first text of a URL has nothing to count against.
    EXPECT_FALSE(rows[3].marker);
    EXPECT_EQ(rows[3].status, u16(u"OK"));
    EXPECT_TRUE(rows[3].lines.isEmpty());
    EXPECT_EQ(rows[3].id, 1);
}

TEST(HistoryRowsTest, SelectionPicksThePairToCompare)
{
    // Rows: 0 = #6, 1 = #5, 2 = options edited, 3 = #3, 4 = #2, 5 = #1.
    const std::vector<SnapshotRecord> history{snapshot(6), snapshot(5), marker(4),
                                              snapshot(3), snapshot(2), snapshot(1)};
    const struct {
        const char *name;
        QList<int> selected;
        std::optional<qint64> older; // 0: no earlier version
        qint64 newer;                // 0: nothing to compare
    } cases[] = {
        {"the newest against the one before", {0}, 5, 6},
        {"the first after an options edit has no earlier version", {1}, 0, 5},
        {"the last before an options edit compares with its predecessor", {3}, 2, 3},
        {"the oldest has no earlier version", {5}, 0, 1},
        {"two in either order: oldest against newest", {4, 0}, 2, 6},
        {"two across an options edit are compared all the same", {1, 3}, 3, 5},
        {"three: the outermost two", {1, 5, 3}, 1, 5},
        {"a marker with a version counts as that version alone", {2, 4}, 1, 2},
        {"a marker alone", {2}, std::nullopt, 0},
        {"nothing", {}, std::nullopt, 0},
        {"a row past the end", {9}, std::nullopt, 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const std::optional<SnapshotPair> pair = pairToCompare(history, c.selected);
        if (c.newer == 0) {
            EXPECT_FALSE(pair.has_value());
            continue;
        }
        ASSERT_TRUE(pair.has_value());
        EXPECT_EQ(pair->newer.id, c.newer);
        EXPECT_EQ(pair->older ? pair->older->id : 0, *c.older);
    }
}

TEST(HistoryRowsTest, NewestChangeSkipsALaterOptionsEdit)
{
    const std::optional<SnapshotPair> pair = newestChange({marker(4), snapshot(3), snapshot(2)});
    ASSERT_TRUE(pair.has_value());
    EXPECT_EQ(pair->newer.id, 3);
    ASSERT_TRUE(pair->older.has_value());
    EXPECT_EQ(pair->older->id, 2);

    const std::optional<SnapshotPair> single = newestChange({snapshot(1)});
    ASSERT_TRUE(single.has_value());
    EXPECT_FALSE(single->older.has_value());

    EXPECT_FALSE(newestChange({}).has_value());
    EXPECT_FALSE(newestChange({marker(1)}).has_value());
}
