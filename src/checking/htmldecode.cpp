#include "checking/htmldecode.h"

namespace sentrel {

QString HtmlDecode(QStringView text) { return text.toString(); }

} // namespace sentrel
