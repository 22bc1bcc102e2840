#include "cli/cliio.h"
#include "text/error.h"
#include <QFile>
#include <istream>
#include <iterator>
#include <ostream>

namespace sentrel::cli {

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

QString decodeUtf8(const QByteArray &bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(bytes.constData() + 3, bytes.size() - 3);
    return QString::fromUtf8(bytes);
}

} // namespace sentrel::cli
