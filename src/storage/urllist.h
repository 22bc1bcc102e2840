#pragma once
#include <QString>
#include <QStringList>
#include <QStringView>
#include <functional>
#include <optional>

// The URL of a list row as text: how an added URL is written, which listed
// URL a typed one names, and whether a text can be a web page's address.
// The list commands themselves work on the list's model (uimodel).
namespace sentrel {

// The URL as Ekle adds it: trimmed (every character up to U+0020 at either
// end), with "http://" in front unless it starts with "http://" or
// "https://" in any letter case. "" when nothing is left.
QString normalizeUrl(QStringView url);

// The listed URL a user means by `typed` (a command-line argument): the text
// itself when a row has exactly that caption (a URL renamed as typed in the
// options dialog), else the URL Ekle would have stored for it, so that
// "example.com" finds the "http://example.com" its add stored. nullopt when
// neither is listed or `typed` is blank.
std::optional<QString> findListedUrl(QStringView typed, const std::function<bool(const QString &)> &isListed);

// Why `url`, as typed, cannot be the address of a web page: a control
// character or a blank inside it, a scheme other than http and https
// ("file:", "ftp:", "javascript:"), no host. Empty when it can be one, and
// for a blank text (which Ekle skips). A host followed by a port
// ("localhost:8080/a") is no scheme. Ekle itself takes any text, as the
// desktop list does; sentrel-cli's add asks first.
QString webAddressProblem(QStringView url);

} // namespace sentrel
