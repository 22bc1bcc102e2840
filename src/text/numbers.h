#pragma once
#include "text/lines.h"
#include <QByteArray>
#include <QStringView>
#include <charconv>
#include <optional>

namespace sentrel {

// A whole decimal number as settings files and number fields write it:
// surrounding control characters and blanks ignored, one optional sign
// ("+" or "-"), nothing else; out of range for T gives nothing.
template <typename T> std::optional<T> parseDecimal(QStringView text)
{
    const QByteArray digits = trimmedView(text).toLatin1();
    const char *first = digits.constData();
    const char *last = first + digits.size();
    if (first != last && *first == '+') {
        ++first;
        if (first != last && *first == '-')
            return std::nullopt;
    }
    T value = 0;
    const auto [end, ec] = std::from_chars(first, last, value);
    if (first == last || ec != std::errc() || end != last)
        return std::nullopt;
    return value;
}

} // namespace sentrel
