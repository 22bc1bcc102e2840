#include "checking/fetcher.h"
#include "text/error.h"

namespace sentrel {

QString DownloadPage(const QString &url)
{
    Q_UNUSED(url);
    throw Error(QStringLiteral("not built yet"));
}

} // namespace sentrel
