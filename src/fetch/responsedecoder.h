#pragma once
#include "fetch/responsehead.h"
#include <QByteArray>
#include <QString>

namespace sentrel {

// Turns the head and raw body bytes of a successful response into the page
// text: content decoding, choice of character set (byte-order mark,
// declarations, valid UTF-8, media type defaults), character decoding, then
// split lines / join lines (CR LF after every line, nothing after a NUL).
// Needs no connection, so it can be fed any head and body.
// Throws sentrel::Error for a compressed body zlib cannot read,
// IncompleteBodyError for one that ends early and BodyTooLargeError for a
// body beyond maxBodyBytes once decoded.
QString decodeResponse(const ResponseHead &head, QByteArray body,
                       qsizetype maxBodyBytes = defaultMaxBodyBytes);

} // namespace sentrel
