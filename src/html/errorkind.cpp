#include "html/errorkind.h"
#include "text/regex.h"
#include <new>

namespace sentrel::html {

QString errorKindName(const std::exception &error)
{
    if (dynamic_cast<const RegexLimitError *>(&error))
        return QStringLiteral("RegexLimitError");
    if (dynamic_cast<const RegexError *>(&error))
        return QStringLiteral("RegexError");
    if (dynamic_cast<const Error *>(&error))
        return QStringLiteral("Error");
    if (dynamic_cast<const std::bad_alloc *>(&error))
        return QStringLiteral("OutOfMemory");
    return QStringLiteral("Exception");
}

} // namespace sentrel::html
