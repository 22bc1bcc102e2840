#include "storage/historysettings.h"
#include <gtest/gtest.h>

using namespace sentrel;

namespace {

HistoryRetention retentionOf(const char *lines)
{
    return readHistoryRetention(
        SettingsFile(QString(), IniDocument::parse(QString::fromUtf8(QByteArray("[Settings]\n") + lines))));
}

TEST(HistorySettings, UsableValuesAreTakenAndAnyOtherGivesTheDefault)
{
    const struct {
        const char *name;
        const char *lines;
        int maxVersions;
        int maxAgeDays;
    } cases[] = {
        {"unset", "", 200, 0},
        {"valid", "HistoryMaxVersions=2\nHistoryMaxAgeDays=30", 2, 30},
        {"key letter case ignored", "historymaxversions=7\nHISTORYMAXAGEDAYS=1", 7, 1},
        {"blanks and sign", "HistoryMaxVersions= +15 \nHistoryMaxAgeDays=0", 15, 0},
        {"lowest bounds", "HistoryMaxVersions=1\nHistoryMaxAgeDays=0", 1, 0},
        {"highest bounds", "HistoryMaxVersions=100000\nHistoryMaxAgeDays=36500", 100000, 36500},
        {"zero versions is out of range, not unlimited", "HistoryMaxVersions=0", 200, 0},
        {"below range", "HistoryMaxVersions=-1\nHistoryMaxAgeDays=-1", 200, 0},
        {"above range", "HistoryMaxVersions=100001\nHistoryMaxAgeDays=36501", 200, 0},
        {"beyond int", "HistoryMaxVersions=99999999999\nHistoryMaxAgeDays=99999999999", 200, 0},
        {"garbage", "HistoryMaxVersions=ten\nHistoryMaxAgeDays=1.5", 200, 0},
        {"empty", "HistoryMaxVersions=\nHistoryMaxAgeDays=", 200, 0},
        {"one bad, one good", "HistoryMaxVersions=x\nHistoryMaxAgeDays=90", 200, 90},
        {"another section", "[Other]\nHistoryMaxVersions=5\nHistoryMaxAgeDays=5", 200, 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const HistoryRetention r = retentionOf(c.lines);
        EXPECT_EQ(r.maxSnapshots, c.maxVersions);
        EXPECT_EQ(r.maxAgeDays, c.maxAgeDays);
    }
}

} // namespace
