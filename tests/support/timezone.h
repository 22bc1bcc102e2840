#pragma once
#include <QByteArray>
#include <QtGlobal>
#include <ctime>
#include <optional>

namespace sentrel::test {

// The TZ variable stands in for the system's time-zone setting in tests of
// local times; the guard puts the variable back as it found it.
class TimeZoneGuard {
public:
    TimeZoneGuard() = default;
    explicit TimeZoneGuard(const char *zone) { set(zone); }
    ~TimeZoneGuard()
    {
        if (saved_)
            qputenv("TZ", *saved_);
        else
            qunsetenv("TZ");
        tzset();
    }
    TimeZoneGuard(const TimeZoneGuard &) = delete;
    TimeZoneGuard &operator=(const TimeZoneGuard &) = delete;

    void set(const char *zone)
    {
        qputenv("TZ", zone);
        tzset();
    }

private:
    std::optional<QByteArray> saved_ =
        qEnvironmentVariableIsSet("TZ") ? std::optional<QByteArray>(qgetenv("TZ")) : std::nullopt;
};

} // namespace sentrel::test
