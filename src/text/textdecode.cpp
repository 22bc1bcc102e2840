#include "text/textdecode.h"
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

} // namespace

QString decodeWindows1252(QByteArrayView bytes)
{
    QStringDecoder decoder("windows-1252", QStringConverter::Flag::Stateless);
    if (decoder.isValid())
        return decoder.decode(bytes);
    // A Qt built without ICU knows no Windows code pages; Latin-1 is the same
    // code page except for the printable characters at 0x80..0x9F.
    return QString::fromLatin1(bytes);
}

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

} // namespace sentrel
