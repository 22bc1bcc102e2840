#include "text/lines.h"

namespace sentrel {

namespace {
constexpr char16_t asciiLower(char16_t c)
{
    return (c >= u'A' && c <= u'Z') ? char16_t(c + 32) : c;
}

QStringView untilNul(QStringView text)
{
    const qsizetype nul = text.indexOf(QChar(u'\0'));
    return nul < 0 ? text : text.first(nul);
}
} // namespace

QStringView trimmedView(QStringView text)
{
    qsizetype b = 0, e = text.size();
    while (b < e && text[b].unicode() <= 0x20)
        ++b;
    while (e > b && text[e - 1].unicode() <= 0x20)
        --e;
    return text.sliced(b, e - b);
}

QString trim(QStringView text)
{
    return trimmedView(text).toString();
}

QStringList splitLines(QStringView text)
{
    text = untilNul(text);
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = text[i].unicode();
        if (c != u'\r' && c != u'\n')
            continue;
        lines.append(text.sliced(start, i - start).toString());
        if (c == u'\r' && i + 1 < n && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < n)
        lines.append(text.sliced(start).toString());
    return lines;
}

QString joinLines(const QStringList &lines)
{
    qsizetype total = 0;
    for (const QString &l : lines)
        total += l.size() + 2;
    QString out;
    out.reserve(total);
    for (const QString &l : lines) {
        out += l;
        out += u"\r\n";
    }
    return out;
}

QString normalizeLines(QStringView text)
{
    text = untilNul(text);
    const qsizetype n = text.size();
    QString out;
    out.reserve(n + n / 32 + 2);
    qsizetype start = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = text[i].unicode();
        if (c != u'\r' && c != u'\n')
            continue;
        out.append(text.sliced(start, i - start));
        out.append(u"\r\n");
        if (c == u'\r' && i + 1 < n && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < n) {
        out.append(text.sliced(start));
        out.append(u"\r\n");
    }
    return out;
}

bool equalsAsciiCaseless(QStringView a, QStringView b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i)
        if (asciiLower(a[i].unicode()) != asciiLower(b[i].unicode()))
            return false;
    return true;
}

qsizetype indexOfAsciiCaseless(QStringView haystack, QStringView needle, qsizetype from)
{
    const qsizetype m = needle.size();
    if (m == 0)
        return from <= haystack.size() ? from : -1;
    const char16_t first = asciiLower(needle[0].unicode());
    const char16_t firstUpper = (first >= u'a' && first <= u'z') ? char16_t(first - 32) : first;
    for (qsizetype i = from; i + m <= haystack.size(); ++i) {
        const char16_t c = haystack[i].unicode();
        if (c != first && c != firstUpper)
            continue;
        if (equalsAsciiCaseless(haystack.sliced(i, m), needle))
            return i;
    }
    return -1;
}

QString oneLineText(QStringView text)
{
    QString out;
    for (const QString &line : splitLines(text)) {
        const QStringView part = trimmedView(line);
        if (part.isEmpty())
            continue;
        if (!out.isEmpty())
            out += QStringLiteral(": ");
        out += part;
    }
    return out;
}

} // namespace sentrel
