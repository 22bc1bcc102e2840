#include "storage/textfile.h"
#include "text/error.h"
#include <QDir>
#include <QFile>
#include <QSaveFile>

namespace sentrel {

namespace {

QString displayPath(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

} // namespace

DecodedText readTextFile(const QString &path)
{
    return decodeText(readFileBytes(path));
}

QByteArray readFileBytes(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Error(QStringLiteral("Cannot open file \"%1\": %2").arg(displayPath(path), file.errorString()));
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw Error(QStringLiteral("Cannot read file \"%1\": %2").arg(displayPath(path), file.errorString()));
    return bytes;
}

void writeFileAtomically(const QString &path, QByteArrayView bytes)
{
    QSaveFile file(path);
    const auto fail = [&] {
        const QString reason = file.errorString();
        file.cancelWriting();
        throw Error(QStringLiteral("Cannot write file \"%1\": %2").arg(displayPath(path), reason));
    };
    // Unbuffered, so that a failing write (a full disk) reports its reason
    // here; from the buffer's flush in commit() it would be "Unknown error".
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        fail();
    // A write cut short (the disk filled up during it) sets no error; the
    // next one fails with the reason.
    for (qsizetype done = 0; done < bytes.size();) {
        const qint64 n = file.write(bytes.data() + done, bytes.size() - done);
        if (n <= 0)
            fail();
        done += qsizetype(n);
    }
    if (!file.commit())
        throw Error(
            QStringLiteral("Cannot write file \"%1\": %2").arg(displayPath(path), file.errorString()));
}

void writeUtf8File(const QString &path, QStringView text)
{
    writeFileAtomically(path, text.toUtf8());
}

} // namespace sentrel
