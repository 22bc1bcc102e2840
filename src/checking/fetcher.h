#pragma once
#include "checking/fetchoptions.h"
#include <QString>

namespace sentrel {

// Downloads one page and returns it as text with CR LF line ends: redirects
// followed, gzip and deflate undone, the body decoded by its character set.
// The twentieth redirect of one download gives the empty text.
// Throws sentrel::Error with the message the user sees as the URL's status:
// the server's status line for a failed response, or the fixed texts for
// time-outs, closed connections, socket and TLS failures.
QString DownloadPage(const QString &url);
QString DownloadPage(const QString &url, const FetchOptions &options);

} // namespace sentrel
