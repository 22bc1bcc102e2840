#include "text/error.h"

namespace sentrel {

Error::Error(QString message) : message_(std::move(message)), utf8_(message_.toUtf8()) {}

} // namespace sentrel
