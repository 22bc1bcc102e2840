#include "fetch/responsehead.h"

namespace sentrel {

namespace {
QString limitText(qsizetype limit)
{
    constexpr qsizetype mib = qsizetype(1024) * 1024;
    if (limit >= mib && limit % mib == 0)
        return QStringLiteral("%1 MiB").arg(limit / mib);
    return QStringLiteral("%1 bytes").arg(limit);
}
} // namespace

QByteArray ResponseHead::header(QByteArrayView name) const
{
    for (auto it = headers.crbegin(); it != headers.crend(); ++it) {
        if (it->first.compare(name, Qt::CaseInsensitive) == 0)
            return it->second.trimmed();
    }
    return {};
}

bool ResponseHead::hasHeader(QByteArrayView name) const
{
    for (const auto &field : headers) {
        if (field.first.compare(name, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

BodyTooLargeError::BodyTooLargeError(qsizetype limit)
    : Error(QStringLiteral("The page is larger than %1.").arg(limitText(limit)))
{
}

IncompleteBodyError::IncompleteBodyError()
    : Error(QStringLiteral("The connection closed before the page was complete."))
{
}

} // namespace sentrel
