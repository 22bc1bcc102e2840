#include "storage/historysettings.h"

namespace sentrel {

std::optional<int> IntegerSetting::parse(QStringView text) const
{
    const std::optional<int> value = parseSettingsInteger(text);
    if (!value || *value < minimum || *value > maximum)
        return std::nullopt;
    return value;
}

int IntegerSetting::read(const SettingsFile &settings) const
{
    const QString text = settings.readString(QStringView(SettingsSection), QStringView(key), QString());
    return parse(text).value_or(defaultValue);
}

HistoryRetention readHistoryRetention(const SettingsFile &settings)
{
    HistoryRetention retention;
    retention.maxSnapshots = HistoryMaxVersionsSetting.read(settings);
    retention.maxAgeDays = HistoryMaxAgeDaysSetting.read(settings);
    return retention;
}

} // namespace sentrel
