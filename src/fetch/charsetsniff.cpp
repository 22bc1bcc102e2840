#include "fetch/charsetsniff.h"
#include <algorithm>

namespace sentrel {

namespace {

// Pages whose head carries long inline scripts or styles declare their
// character set late; further in, a meta tag is more likely page content.
constexpr qsizetype metaScanLimit = qsizetype(64) * 1024;
constexpr qsizetype xmlDeclarationLimit = 1024;

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}
bool isAsciiLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
char asciiLower(char c)
{
    return (c >= 'A' && c <= 'Z') ? char(c + 32) : c;
}

bool startsWithCaseless(QByteArrayView s, qsizetype pos, QByteArrayView prefix)
{
    return s.size() - pos >= prefix.size() &&
           s.sliced(pos, prefix.size()).compare(prefix, Qt::CaseInsensitive) == 0;
}

QByteArray lowerAscii(QByteArrayView s)
{
    QByteArray out(s.size(), Qt::Uninitialized);
    std::transform(s.begin(), s.end(), out.begin(), asciiLower);
    return out;
}

// The value of a media type parameter: a quoted string with backslash
// escapes, or a token running to the next ';'.
QByteArray parameterValue(QByteArrayView s, qsizetype &pos)
{
    QByteArray value;
    if (pos < s.size() && s[pos] == '"') {
        for (++pos; pos < s.size() && s[pos] != '"'; ++pos) {
            if (s[pos] == '\\' && pos + 1 < s.size())
                ++pos;
            value += s[pos];
        }
        while (pos < s.size() && s[pos] != ';')
            ++pos;
        return value;
    }
    const qsizetype start = pos;
    while (pos < s.size() && s[pos] != ';')
        ++pos;
    return s.sliced(start, pos - start).trimmed().toByteArray();
}

struct Attribute {
    QByteArray name;
    QByteArray value;
};

// One attribute of a tag, read the way the HTML standard's encoding prescan
// reads it; nullopt at the end of the tag (pos then rests on '>' or the end).
std::optional<Attribute> nextAttribute(QByteArrayView s, qsizetype &pos)
{
    const qsizetype n = s.size();
    while (pos < n && (isSpace(s[pos]) || s[pos] == '/'))
        ++pos;
    if (pos >= n || s[pos] == '>')
        return std::nullopt;

    Attribute a;
    for (;; ++pos) {
        if (pos >= n)
            return a;
        const char c = s[pos];
        if (c == '=' && !a.name.isEmpty())
            break;
        if (isSpace(c)) {
            while (pos < n && isSpace(s[pos]))
                ++pos;
            if (pos >= n || s[pos] != '=')
                return a;
            break;
        }
        if (c == '/' || c == '>')
            return a;
        a.name += asciiLower(c);
    }
    ++pos; // past '='
    while (pos < n && isSpace(s[pos]))
        ++pos;
    if (pos >= n)
        return a;
    if (s[pos] == '"' || s[pos] == '\'') {
        const char quote = s[pos++];
        const qsizetype start = pos;
        while (pos < n && s[pos] != quote)
            ++pos;
        a.value = s.sliced(start, pos - start).toByteArray();
        if (pos < n)
            ++pos;
        return a;
    }
    const qsizetype start = pos;
    while (pos < n && !isSpace(s[pos]) && s[pos] != '>')
        ++pos;
    a.value = s.sliced(start, pos - start).toByteArray();
    return a;
}

// The character set in the content of an http-equiv Content-Type meta tag,
// found as browsers find it: "charset", optional blanks, '=', then a quoted
// or bare value.
std::optional<QByteArray> charsetFromMetaContent(QByteArrayView content)
{
    const QByteArray lower = lowerAscii(content);
    qsizetype pos = 0;
    for (;;) {
        pos = lower.indexOf("charset", pos);
        if (pos < 0)
            return std::nullopt;
        pos += 7;
        while (pos < content.size() && isSpace(content[pos]))
            ++pos;
        if (pos < content.size() && content[pos] == '=')
            break;
    }
    ++pos;
    while (pos < content.size() && isSpace(content[pos]))
        ++pos;
    if (pos >= content.size())
        return std::nullopt;
    const char first = content[pos];
    if (first == '"' || first == '\'') {
        const qsizetype end = content.indexOf(first, pos + 1);
        if (end < 0)
            return std::nullopt;
        const QByteArray value = content.sliced(pos + 1, end - pos - 1).trimmed().toByteArray();
        return value.isEmpty() ? std::nullopt : std::optional(value);
    }
    const qsizetype start = pos;
    while (pos < content.size() && !isSpace(content[pos]) && content[pos] != ';')
        ++pos;
    if (pos == start)
        return std::nullopt;
    return content.sliced(start, pos - start).toByteArray();
}

bool isHtmlType(const QByteArray &essence)
{
    return essence == "text/html" || essence == "text/html-sandboxed" || essence == "application/xhtml+xml";
}

bool isXmlType(const MediaType &m)
{
    const QByteArray e = m.essence();
    return e == "application/xml" || e == "application/xml-external-parsed-entity" ||
           e == "application/xml-dtd" || (m.type == "application" && m.subtype.endsWith("+xml"));
}

bool isXmlTextSubtype(const QByteArray &subtype)
{
    return subtype == "xml" || subtype == "xml-external-parsed-entity" || subtype.endsWith("+xml");
}

} // namespace

MediaType parseMediaType(QByteArrayView contentType)
{
    MediaType m;
    qsizetype pos = contentType.indexOf(';');
    const QByteArrayView essence = contentType.first(pos < 0 ? contentType.size() : pos).trimmed();
    const qsizetype slash = essence.indexOf('/');
    if (slash >= 0) {
        m.type = lowerAscii(essence.first(slash).trimmed());
        m.subtype = lowerAscii(essence.sliced(slash + 1).trimmed());
    } else {
        m.type = lowerAscii(essence);
    }
    while (pos >= 0 && pos < contentType.size()) {
        ++pos; // past ';'
        const qsizetype eq = contentType.indexOf('=', pos);
        const qsizetype semi = contentType.indexOf(';', pos);
        if (eq < 0 || (semi >= 0 && semi < eq)) {
            pos = semi;
            continue;
        }
        const QByteArrayView name = contentType.sliced(pos, eq - pos).trimmed();
        pos = eq + 1;
        while (pos < contentType.size() && isSpace(contentType[pos]))
            ++pos;
        const QByteArray value = parameterValue(contentType, pos);
        if (name.compare("charset", Qt::CaseInsensitive) == 0 && !m.charset && !value.trimmed().isEmpty())
            m.charset = value.trimmed();
        else if (name.compare("boundary", Qt::CaseInsensitive) == 0 && !m.boundary && !value.isEmpty())
            m.boundary = value;
        if (pos >= contentType.size())
            break;
    }
    return m;
}

MetaDeclaration scanHtmlMeta(QByteArrayView body)
{
    const QByteArrayView s = body.first(std::min(body.size(), metaScanLimit));
    const qsizetype n = s.size();
    MetaDeclaration found;
    qsizetype pos = 0;
    while (pos < n) {
        if (s[pos] != '<') {
            const qsizetype next = s.indexOf('<', pos);
            if (next < 0)
                break;
            pos = next;
            continue;
        }
        if (s.sliced(pos).startsWith("<!--")) {
            const qsizetype end = s.indexOf("-->", pos + 2);
            if (end < 0)
                break;
            pos = end + 3;
            continue;
        }
        if (startsWithCaseless(s, pos, "<meta") && pos + 5 < n &&
            (isSpace(s[pos + 5]) || s[pos + 5] == '/')) {
            pos += 5;
            std::optional<QByteArray> httpEquiv, content, charset;
            while (auto a = nextAttribute(s, pos)) {
                if (a->name == "http-equiv" && !httpEquiv)
                    httpEquiv = a->value;
                else if (a->name == "content" && !content)
                    content = a->value;
                else if (a->name == "charset" && !charset)
                    charset = a->value.trimmed();
            }
            if (charset && !charset->isEmpty()) {
                found.charset = charset;
                return found;
            }
            if (httpEquiv && httpEquiv->trimmed().compare("content-type", Qt::CaseInsensitive) == 0 &&
                content) {
                if (!found.contentType)
                    found.contentType = *content;
                if (auto fromContent = charsetFromMetaContent(*content)) {
                    found.charset = fromContent;
                    return found;
                }
            }
            continue;
        }
        const bool endTag = pos + 1 < n && s[pos + 1] == '/';
        const qsizetype nameStart = pos + (endTag ? 2 : 1);
        if (nameStart < n && isAsciiLetter(s[nameStart])) {
            // Skip the whole tag, attributes included, so that a '>' or a
            // "<meta" inside a quoted attribute value is not taken as markup.
            pos = nameStart;
            while (pos < n && !isSpace(s[pos]) && s[pos] != '>')
                ++pos;
            while (nextAttribute(s, pos)) {
            }
            continue;
        }
        if (pos + 1 < n && (s[pos + 1] == '!' || s[pos + 1] == '/' || s[pos + 1] == '?')) {
            const qsizetype end = s.indexOf('>', pos + 1);
            if (end < 0)
                break;
            pos = end + 1;
            continue;
        }
        ++pos;
    }
    return found;
}

std::optional<QByteArray> xmlDeclarationEncoding(QByteArrayView body)
{
    QByteArrayView s = body.first(std::min(body.size(), xmlDeclarationLimit));
    if (s.startsWith("\xEF\xBB\xBF"))
        s = s.sliced(3);
    if (!s.startsWith("<?xml") || s.size() < 6 || !isSpace(s[5]))
        return std::nullopt;
    qsizetype pos = 5;
    const qsizetype n = s.size();
    for (;;) {
        while (pos < n && isSpace(s[pos]))
            ++pos;
        const qsizetype nameStart = pos;
        while (pos < n && isAsciiLetter(s[pos]))
            ++pos;
        if (pos == nameStart)
            return std::nullopt; // "?>" or malformed: no encoding named
        const QByteArrayView name = s.sliced(nameStart, pos - nameStart);
        while (pos < n && isSpace(s[pos]))
            ++pos;
        if (pos >= n || s[pos] != '=')
            return std::nullopt;
        ++pos;
        while (pos < n && isSpace(s[pos]))
            ++pos;
        if (pos >= n || (s[pos] != '"' && s[pos] != '\''))
            return std::nullopt;
        const char quote = s[pos++];
        const qsizetype end = s.indexOf(quote, pos);
        if (end < 0)
            return std::nullopt;
        const QByteArrayView value = s.sliced(pos, end - pos).trimmed();
        pos = end + 1;
        if (name == "encoding")
            return value.isEmpty() ? std::nullopt : std::optional(value.toByteArray());
    }
}

std::optional<ByteOrderMark> byteOrderMark(QByteArrayView body)
{
    if (body.startsWith("\xEF\xBB\xBF"))
        return ByteOrderMark{"UTF-8", 3};
    if (body.startsWith("\xFF\xFE"))
        return ByteOrderMark{"UTF-16LE", 2};
    if (body.startsWith("\xFE\xFF"))
        return ByteOrderMark{"UTF-16BE", 2};
    return std::nullopt;
}

CharsetChoice chooseCharset(const ResponseHead &head, QByteArrayView body)
{
    MediaType type = parseMediaType(head.header("Content-Type"));
    if (isHtmlType(type.essence())) {
        const MetaDeclaration meta = scanHtmlMeta(body);
        if (meta.charset)
            return {*meta.charset, true};
        if (meta.contentType && !meta.contentType->trimmed().isEmpty())
            type = parseMediaType(*meta.contentType);
    }
    if (isXmlType(type)) {
        if (auto encoding = xmlDeclarationEncoding(body))
            return {*encoding, true};
    }
    if (type.charset)
        return {*type.charset, true};
    if (type.type == "text")
        return {isXmlTextSubtype(type.subtype) ? QByteArray("us-ascii") : QByteArray("ISO-8859-1"), false};
    return {};
}

} // namespace sentrel
