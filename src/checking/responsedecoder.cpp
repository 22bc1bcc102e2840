#include "checking/responsedecoder.h"
#include "checking/charsetdecode.h"
#include "checking/charsetsniff.h"
#include "checking/contentdecoding.h"
#include "text/lines.h"

namespace sentrel {

QString decodeResponse(const ResponseHead &head, QByteArray body, qsizetype maxBodyBytes)
{
    const QByteArray bytes = decodeContent(head.header("Content-Encoding"), std::move(body), maxBodyBytes);
    const QByteArray charset = chooseCharset(head, bytes);
    return normalizeLines(decodeCharset(bytes, charset));
}

} // namespace sentrel
