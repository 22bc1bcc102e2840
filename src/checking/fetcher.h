#pragma once
#include <QString>

namespace sentrel {

// Downloads one page and returns it as text with CR LF line ends.
// Throws sentrel::Error with the message the user sees as the URL's status.
QString DownloadPage(const QString &url);

} // namespace sentrel
