#pragma once
#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// Reading and writing the plain text files the user hands to the program or
// gets from it (URL lists, the exclusion list, language tables).
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

// The whole file, decoded as decodeText does. Throws sentrel::Error naming
// the file and the reason when it cannot be opened or read.
DecodedText readTextFile(const QString &path);

// Replaces the file's content with `bytes` so that a crash or a full disk
// never leaves a half-written file: the bytes go to a temporary file in the
// same folder, which then takes the old file's place. Throws sentrel::Error
// naming the file and the reason; the old file is then left as it was.
void writeFileAtomically(const QString &path, QByteArrayView bytes);

// The text as UTF-8 without byte order mark, written as writeFileAtomically does.
void writeUtf8File(const QString &path, QStringView text);

} // namespace sentrel
