#pragma once
#include <QByteArray>
#include <QByteArrayView>

namespace sentrel {

// Undoes a "gzip" or "deflate" Content-Encoding (letter case ignored); any
// other coding, or none, leaves the bytes as they are. A deflate body may be
// zlib-wrapped or raw, as servers send both.
// Throws sentrel::Error with zlib's message for data it cannot read,
// IncompleteBodyError for a stream that ends early and BodyTooLargeError
// when the result would exceed maxBytes.
QByteArray decodeContent(QByteArrayView contentEncoding, QByteArray body, qsizetype maxBytes);

} // namespace sentrel
