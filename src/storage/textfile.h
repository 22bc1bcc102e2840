#pragma once
#include "text/textdecode.h"
#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// Reading and writing the plain text files the user hands to the program or
// gets from it (URL lists, the exclusion list, language tables).
namespace sentrel {

// The whole file, decoded as decodeText does. Throws sentrel::Error naming
// the file and the reason when it cannot be opened or read.
DecodedText readTextFile(const QString &path);

// The whole file as it is; throws as readTextFile does.
QByteArray readFileBytes(const QString &path);

// Replaces the file's content with `bytes` so that a crash or a full disk
// never leaves a half-written file: the bytes go to a temporary file in the
// same folder, which then takes the old file's place. Throws sentrel::Error
// naming the file and the reason; the old file is then left as it was.
void writeFileAtomically(const QString &path, QByteArrayView bytes);

// The text as UTF-8 without byte order mark, written as writeFileAtomically does.
void writeUtf8File(const QString &path, QStringView text);

} // namespace sentrel
