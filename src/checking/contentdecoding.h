#pragma once
#include <QByteArray>
#include <QByteArrayView>

namespace sentrel {

// Undoes a "gzip" or "deflate" Content-Encoding (letter case ignored); any
// other coding, or none, leaves the bytes as they are. A deflate body may be
// zlib-wrapped or raw, as servers send both. A stream that ends early gives
// what was inflated so far, like a body cut short.
// Throws sentrel::Error with zlib's message for data it cannot read and
// BodyTooLargeError when the result would exceed maxBytes.
QByteArray decodeContent(QByteArrayView contentEncoding, QByteArray body, qsizetype maxBytes);

} // namespace sentrel
