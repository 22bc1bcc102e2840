#pragma once
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// The three program-wide ways of reducing a page to its readable text.
namespace sentrel {

enum class StripMethod { Browser, Regex, StringBuilder };

// The rendered body text of the page, soft hyphens removed.
QString StripWithBrowser(QStringView text);
// StripWithBrowser(QString::fromUtf8(utf8)) without converting a page that is
// well-formed UTF-8 to UTF-16 and back: for pages read from UTF-8 files.
QString StripWithBrowserUtf8(QByteArrayView utf8);
// Style blocks, comments, scripts and tags deleted by one pattern, then HtmlDecode.
QString StripWithRegex(QStringView text);
// Text outside tags, scripts and styles, then HtmlDecode.
QString StripWithStringBuilder(QStringView text);

QString strip(StripMethod method, QStringView text);

} // namespace sentrel
