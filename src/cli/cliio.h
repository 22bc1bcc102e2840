#pragma once
#include <QByteArray>
#include <QString>
#include <iosfwd>

namespace sentrel::cli {

// The streams a command talks through; the program passes the process's
// standard streams, the tests string streams.
struct CliIo {
    std::istream &in;
    std::ostream &out;
    std::ostream &err;
};

// Whether `stream` is the process's standard output or error and that goes
// to a terminal (colour is then wanted); false for any other stream.
bool isTerminal(const std::ostream &stream);

// Writes the text as UTF-8, byte for byte: no newline added, CR LF kept.
void writeText(std::ostream &stream, const QString &text);
void writeLine(std::ostream &stream, const QString &text); // text + "\n"

// The bytes of FILE, or of the input stream when `path` is empty or "-".
// Throws sentrel::Error when the file cannot be read.
QByteArray readInput(const QString &path, std::istream &in);

// UTF-8 input as text (a leading byte order mark dropped).
QString decodeUtf8(const QByteArray &bytes);
// The bytes after a leading UTF-8 byte order mark (all of them without one).
QByteArrayView withoutUtf8Bom(const QByteArray &bytes);

} // namespace sentrel::cli
