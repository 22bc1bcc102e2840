#pragma once
#include "fetch/responsehead.h"
#include <QByteArray>
#include <QByteArrayView>
#include <optional>

namespace sentrel {

// A Content-Type value taken apart: type and subtype in lower case, the
// charset and boundary parameters (unquoted) when they have a non-empty value.
struct MediaType {
    QByteArray type;
    QByteArray subtype;
    std::optional<QByteArray> charset;
    std::optional<QByteArray> boundary;

    QByteArray essence() const { return type + '/' + subtype; }
};
MediaType parseMediaType(QByteArrayView contentType);

// What the meta tags at the start of an HTML document declare: the first
// character set given by a `charset` attribute or by the content of an
// http-equiv Content-Type tag, and the content of the first such tag, which
// takes the place of the response's own Content-Type.
struct MetaDeclaration {
    std::optional<QByteArray> charset;
    std::optional<QByteArray> contentType;
};
MetaDeclaration scanHtmlMeta(QByteArrayView body);

// The encoding named in the XML declaration that opens the document.
std::optional<QByteArray> xmlDeclarationEncoding(QByteArrayView body);

// The encoding a byte-order mark at the start of the body names (UTF-8,
// UTF-16LE or UTF-16BE) and the mark's length; it decides before anything the
// document or its head declares.
struct ByteOrderMark {
    QByteArray charset;
    qsizetype length = 0;
};
std::optional<ByteOrderMark> byteOrderMark(QByteArrayView body);

// The character set to decode the (content-decoded) body with, by this
// precedence: HTML meta tags, the XML declaration, the Content-Type charset.
// `declared` tells whether one of them named it; when none did, the default
// of a text type follows, or nothing (empty).
struct CharsetChoice {
    QByteArray charset;
    bool declared = false;
};
CharsetChoice chooseCharset(const ResponseHead &head, QByteArrayView body);

} // namespace sentrel
