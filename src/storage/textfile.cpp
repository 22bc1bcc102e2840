#include "storage/textfile.h"
#include "text/error.h"
#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>

namespace sentrel {

namespace {

struct Bom {
    QByteArrayView mark;
    TextEncoding encoding;
    QStringConverter::Encoding converter;
};

// Longest first: the UTF-32 LE mark begins with the UTF-16 LE one.
const Bom boms[] = {
    {QByteArrayView("\xFF\xFE\x00\x00", 4), TextEncoding::Utf32LE, QStringConverter::Utf32LE},
    {QByteArrayView("\x00\x00\xFE\xFF", 4), TextEncoding::Utf32BE, QStringConverter::Utf32BE},
    {QByteArrayView("\xEF\xBB\xBF", 3), TextEncoding::Utf8Bom, QStringConverter::Utf8},
    {QByteArrayView("\xFF\xFE", 2), TextEncoding::Utf16LE, QStringConverter::Utf16LE},
    {QByteArrayView("\xFE\xFF", 2), TextEncoding::Utf16BE, QStringConverter::Utf16BE},
};

QString decodeWindows1252(QByteArrayView bytes)
{
    QStringDecoder decoder("windows-1252", QStringConverter::Flag::Stateless);
    if (decoder.isValid())
        return decoder.decode(bytes);
    // A Qt built without ICU knows no Windows code pages; Latin-1 is the same
    // code page except for the printable characters at 0x80..0x9F.
    return QString::fromLatin1(bytes);
}

QString displayPath(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

} // namespace

DecodedText decodeText(QByteArrayView bytes)
{
    for (const Bom &bom : boms) {
        if (!bytes.startsWith(bom.mark))
            continue;
        QStringDecoder decoder(bom.converter, QStringConverter::Flag::Stateless);
        return {decoder.decode(bytes.sliced(bom.mark.size())), bom.encoding};
    }
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return {std::move(text), TextEncoding::Utf8};
    return {decodeWindows1252(bytes), TextEncoding::Windows1252};
}

DecodedText readTextFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Error(QStringLiteral("Cannot open file \"%1\": %2").arg(displayPath(path), file.errorString()));
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw Error(QStringLiteral("Cannot read file \"%1\": %2").arg(displayPath(path), file.errorString()));
    return decodeText(bytes);
}

void writeFileAtomically(const QString &path, QByteArrayView bytes)
{
    QSaveFile file(path);
    const auto fail = [&] {
        const QString reason = file.errorString();
        file.cancelWriting();
        throw Error(QStringLiteral("Cannot write file \"%1\": %2").arg(displayPath(path), reason));
    };
    if (!file.open(QIODevice::WriteOnly))
        fail();
    if (file.write(bytes.data(), bytes.size()) != bytes.size())
        fail();
    if (!file.commit())
        throw Error(
            QStringLiteral("Cannot write file \"%1\": %2").arg(displayPath(path), file.errorString()));
}

void writeUtf8File(const QString &path, QStringView text)
{
    writeFileAtomically(path, text.toUtf8());
}

} // namespace sentrel
