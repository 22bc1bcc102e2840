#pragma once
#include <QByteArrayView>
#include <QString>

// Turning the bytes of a text file into text when the file does not say how
// it is encoded (URL lists, the exclusion list, the language code table).
namespace sentrel {

enum class TextEncoding {
    Utf8,        // no byte order mark, valid UTF-8
    Utf8Bom,     // UTF-8 byte order mark
    Utf16LE,     // UTF-16 byte order mark, little endian
    Utf16BE,     // UTF-16 byte order mark, big endian
    Utf32LE,     // UTF-32 byte order mark, little endian
    Utf32BE,     // UTF-32 byte order mark, big endian
    Windows1252, // no byte order mark and not valid UTF-8: the 8-bit fallback
};

struct DecodedText {
    QString text;
    TextEncoding encoding = TextEncoding::Utf8;
};

// A byte order mark decides the encoding (the mark itself is dropped; a broken
// sequence after it becomes U+FFFD). Without one the bytes are read as UTF-8,
// and when they are not valid UTF-8, as Windows-1252. Never fails.
DecodedText decodeText(QByteArrayView bytes);

// The bytes in the Windows-1252 code page, whatever they hold.
QString decodeWindows1252(QByteArrayView bytes);

} // namespace sentrel
