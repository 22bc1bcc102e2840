#include "checking/strippers.h"
#include "text/error.h"

namespace sentrel {

QString StripWithBrowser(QStringView text) { return text.toString(); }
QString StripWithRegex(QStringView text) { return text.toString(); }
QString StripWithStringBuilder(QStringView text) { return text.toString(); }

QString strip(StripMethod method, QStringView text)
{
    switch (method) {
    case StripMethod::Browser:
        return StripWithBrowser(text);
    case StripMethod::Regex:
        return StripWithRegex(text);
    case StripMethod::StringBuilder:
        return StripWithStringBuilder(text);
    }
    return {};
}

} // namespace sentrel
