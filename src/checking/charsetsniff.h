#pragma once
#include "checking/responsehead.h"
#include <QByteArray>
#include <QByteArrayView>
#include <optional>

namespace sentrel {

// A Content-Type value taken apart: type and subtype in lower case, the
// charset parameter (unquoted) when it has a non-empty value.
struct MediaType {
    QByteArray type;
    QByteArray subtype;
    std::optional<QByteArray> charset;

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

// The character set to decode the (content-decoded) body with, by this
// precedence: HTML meta tags, the XML declaration, the Content-Type charset,
// the defaults of text types. Empty when none applies.
QByteArray chooseCharset(const ResponseHead &head, QByteArrayView body);

} // namespace sentrel
