#include "check/interval.h"
#include "storage/settings.h"
#include "storage/settingskeys.h"
#include "text/numbers.h"
#include <algorithm>
#include <optional>

namespace sentrel {

int64_t IntervalHesapla(QStringView intervalText)
{
    const int64_t value = parseDecimal<int64_t>(intervalText).value_or(0);
    return value < MinimumInterval ? MinimumInterval : value;
}

int countdownSeconds(QStringView intervalText)
{
    return int(std::min<int64_t>(IntervalHesapla(intervalText), MaximumInterval));
}

int intervalControlValue(QStringView intervalText)
{
    return parseSettingsInteger(intervalText).value_or(MinimumInterval);
}

} // namespace sentrel
