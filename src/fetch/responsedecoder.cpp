#include "fetch/responsedecoder.h"
#include "fetch/charsetdecode.h"
#include "fetch/charsetsniff.h"
#include "fetch/contentdecoding.h"
#include "text/lines.h"
#include <QStringDecoder>

namespace sentrel {

namespace {

// The body as text: a byte-order mark decides first, then a declared
// character set. A body that declares none and is valid UTF-8 is read as
// UTF-8, as browsers read it; pure ASCII comes out the same either way. Only
// the rest falls back on the defaults of its media type.
QString bodyText(const ResponseHead &head, QByteArrayView bytes)
{
    if (const auto mark = byteOrderMark(bytes))
        return decodeCharset(bytes.sliced(mark->length), mark->charset);
    const CharsetChoice choice = chooseCharset(head, bytes);
    if (!choice.declared) {
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        QString text = utf8.decode(bytes);
        if (!utf8.hasError())
            return text;
    }
    return decodeCharset(bytes, choice.charset);
}

} // namespace

QString decodeResponse(const ResponseHead &head, QByteArray body, qsizetype maxBodyBytes)
{
    const QByteArray bytes = decodeContent(head.header("Content-Encoding"), std::move(body), maxBodyBytes);
    return normalizeLines(bodyText(head, bytes));
}

} // namespace sentrel
