#include "strip/strippers.h"

namespace sentrel {

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
