#pragma once
#include <QString>
#include <QStringView>
#include <functional>

namespace sentrel {

// Receives one diagnostic line for every well-formed named reference whose
// name is not known, e.g. to pass it on to a debug log.
using UnknownEntitySink = std::function<void(const QString &diagnostic)>;

// Replaces numeric (&#65; &#x41;) and named (&amp;) character references in
// one left-to-right pass; the decoded text is not scanned again. Unknown names
// and malformed references stay as written, except that a numeric reference
// with no digits or with a value beyond 32 bits throws sentrel::Error
// "'DIGITS' is not a valid integer value" (for the hexadecimal form "$DIGITS").
// Code points that no character has (surrogates, beyond U+10FFFF) give U+FFFD.
QString HtmlDecode(QStringView text);
QString HtmlDecode(QStringView text, const UnknownEntitySink &onUnknown);

// The XML 1.0 NameStartChar and NameChar productions, applied to one UTF-16
// code unit (so a surrogate is never part of a name).
bool isXmlNameStartChar(char16_t c);
bool isXmlNameChar(char16_t c);

} // namespace sentrel
