#pragma once
// Helpers shared by the fuzz targets: turning libFuzzer's bytes into the
// texts and options an entry point takes.
#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>
#include <cstddef>
#include <cstdint>

namespace sentrel::fuzz {

inline QByteArrayView bytesOf(const uint8_t *data, size_t size)
{
    return QByteArrayView(reinterpret_cast<const char *>(data), qsizetype(size));
}

// The bytes as UTF-8 (what a decoded page or a typed text looks like once it
// is a QString); broken sequences become U+FFFD as they do in the program.
inline QString textOf(QByteArrayView bytes)
{
    return QString::fromUtf8(bytes);
}

// Splits off the part before the first line feed: several fuzzed inputs
// (an option, then the page) travel in one buffer.
inline QByteArrayView takeLine(QByteArrayView &rest)
{
    const qsizetype lf = rest.indexOf('\n');
    if (lf < 0) {
        const QByteArrayView line = rest;
        rest = {};
        return line;
    }
    const QByteArrayView line = rest.first(lf);
    rest = rest.sliced(lf + 1);
    return line;
}

} // namespace sentrel::fuzz
