#pragma once
#include "storage/settings.h"
#include "storage/settingskeys.h"
#include "storage/snapshothistory.h"
#include <QStringView>
#include <optional>

// How much history the saves keep, as settings.ini sets it. Both programs
// read it when they open the store; a changed limit takes effect at the next
// save of each URL, since the saves are what drop old snapshots.
namespace sentrel {

// A whole-number key of the Settings section with the values it may take.
struct IntegerSetting {
    const char16_t *key;
    int defaultValue;
    int minimum;
    int maximum;

    // The number `text` holds (see parseSettingsInteger) when within bounds.
    std::optional<int> parse(QStringView text) const;
    // The stored value; unset, not a number or out of bounds: the default.
    int read(const SettingsFile &settings) const;
};

// An out-of-range count falls back to the default rather than to the nearest
// bound: a mistyped 0 or -1 clamped to 1 would have the next save of every
// URL throw away all but its newest text.
inline constexpr IntegerSetting HistoryMaxVersionsSetting{
    settingskey::HistoryMaxVersions, DefaultHistoryMaxVersions, MinimumHistoryMaxVersions,
    MaximumHistoryMaxVersions};
inline constexpr IntegerSetting HistoryMaxAgeDaysSetting{settingskey::HistoryMaxAgeDays,
                                                         DefaultHistoryMaxAgeDays, MinimumHistoryMaxAgeDays,
                                                         MaximumHistoryMaxAgeDays};

HistoryRetention readHistoryRetention(const SettingsFile &settings);

} // namespace sentrel
