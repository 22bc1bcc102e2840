#pragma once
#include "fetch/fetchoptions.h"
#include <QString>

namespace sentrel {

// Downloads one page and returns it as text with CR LF line ends: redirects
// followed, gzip and deflate undone, the body decoded by its character set.
// Throws sentrel::Error with the message the user sees as the URL's status:
// the server's status line for a failed response, or the fixed texts for
// time-outs, closed connections, a page cut short, the twentieth redirect of
// one download, socket and TLS failures.
QString DownloadPage(const QString &url);
QString DownloadPage(const QString &url, const FetchOptions &options);

} // namespace sentrel
