#include "app/onlinehelp.h"

#ifndef SENTREL_MAKER_SITE
#define SENTREL_MAKER_SITE "www.orlith.example"
#endif

namespace sentrel {

QString makerSite()
{
    return QStringLiteral(SENTREL_MAKER_SITE);
}

QString onlineHelpAddress(const QString &productName)
{
    // Each blank becomes one "-", without collapsing runs.
    const QString page = productName.toLower().replace(u' ', u'-');
    return QStringLiteral("http://") + makerSite() + QStringLiteral("/help/") + page + u'/';
}

} // namespace sentrel
