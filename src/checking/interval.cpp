#include "checking/interval.h"
#include "storage/settings.h"
#include "storage/settingskeys.h"
#include "text/lines.h"
#include <algorithm>
#include <charconv>
#include <optional>

namespace sentrel {

namespace {

std::optional<int64_t> parseInt64(QStringView text)
{
    const QByteArray digits = trimmedView(text).toLatin1();
    const char *first = digits.constData();
    const char *last = first + digits.size();
    if (first != last && *first == '+') {
        ++first;
        if (first != last && *first == '-')
            return std::nullopt;
    }
    int64_t value = 0;
    const auto [end, ec] = std::from_chars(first, last, value);
    if (first == last || ec != std::errc() || end != last)
        return std::nullopt;
    return value;
}

} // namespace

int64_t IntervalHesapla(QStringView intervalText)
{
    const int64_t value = parseInt64(intervalText).value_or(0);
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
