#include "storage/storeerror.h"
#include "text/error.h"

namespace sentrel {

QString storeErrorText(const Error &error)
{
    return QStringLiteral("Exception raised with message: ") + error.message();
}

QString storeOpenErrorText(const Error &error)
{
    return QStringLiteral("Exception raised with message:\r\r") + error.message();
}

} // namespace sentrel
