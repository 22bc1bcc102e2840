#pragma once
#include <QString>
#include <ostream>
#include <string>
#include <string_view>

// u16(u"...") builds a QString from a UTF-16 literal; with the sv suffix
// (u"a\0b"sv) embedded NULs are kept.
inline QString u16(std::u16string_view s)
{
    return QString::fromUtf16(s.data(), qsizetype(s.size()));
}

// Lets GoogleTest print QStrings in failure messages.
QT_BEGIN_NAMESPACE
inline void PrintTo(const QString &s, std::ostream *os)
{
    *os << '"' << s.toStdString() << '"';
}
QT_END_NAMESPACE
