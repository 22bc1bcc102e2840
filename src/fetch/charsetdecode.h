#pragma once
#include <QByteArrayView>
#include <QString>

namespace sentrel {

// Decodes bytes in the named character set, by any name the system's
// converter knows. With no name, or a name it does not know, each byte
// becomes the character of the same code (U+0000 to U+00FF). Sequences that
// are invalid in the character set become U+FFFD; they are no error.
QString decodeCharset(QByteArrayView bytes, QByteArrayView charset);

// Whether the system's converter knows the name.
bool isKnownCharset(QByteArrayView charset);

} // namespace sentrel
