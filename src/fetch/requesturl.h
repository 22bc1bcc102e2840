#pragma once
#include <QByteArray>
#include <QString>
#include <optional>

namespace sentrel {

// The URL as the transfer gets it: UTF-8, with blanks, control characters and
// non-ASCII bytes after the host percent-encoded as a browser sends them.
QByteArray encodeRequestUrl(const QString &url);

// Why a URL cannot be requested at all, before any connection: a scheme other
// than http and https ("Unknown Protocol"; the program speaks no other
// protocol, so an explicit port does not change that), or https without TLS
// support ("Could not load SSL library."). A URL without a scheme is taken as
// http. nullopt when the URL may be requested.
std::optional<QString> schemeProblem(const QByteArray &url, bool tlsAvailable);

} // namespace sentrel
