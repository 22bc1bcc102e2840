#include "cli/cliio.h"
#include "text/error.h"
#include <QFile>
#include <cstdio>
#include <iostream>
#include <istream>
#include <iterator>
#include <ostream>
#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace sentrel::cli {

bool isTerminal(const std::ostream &stream)
{
    const auto terminal = [](std::FILE *file) {
#ifdef _WIN32
        return _isatty(_fileno(file)) != 0;
#else
        return isatty(fileno(file)) != 0;
#endif
    };
    if (&stream == &std::cout)
        return terminal(stdout);
    if (&stream == &std::cerr)
        return terminal(stderr);
    return false;
}

void writeText(std::ostream &stream, const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    stream.write(bytes.constData(), bytes.size());
}

void writeLine(std::ostream &stream, const QString &text)
{
    writeText(stream, text);
    stream.put('\n');
}

QByteArray readInput(const QString &path, std::istream &in)
{
    if (path.isEmpty() || path == u"-") {
        std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        return QByteArray(data.data(), qsizetype(data.size()));
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Error(QStringLiteral("Cannot open file \"%1\": %2").arg(path, file.errorString()));
    return file.readAll();
}

QByteArrayView withoutUtf8Bom(const QByteArray &bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return QByteArrayView(bytes).sliced(3);
    return bytes;
}

QString decodeUtf8(const QByteArray &bytes)
{
    return QString::fromUtf8(withoutUtf8Bom(bytes));
}

} // namespace sentrel::cli
