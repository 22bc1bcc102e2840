#include "strip/htmldecode.h"
#include "strip/strippers.h"

namespace sentrel {

namespace {

char16_t lowerAscii(char16_t c)
{
    return c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c;
}

// Whether `text` holds `lowerNeedle` at `pos`, A-Z compared caselessly.
bool hasAt(const char16_t *text, qsizetype size, qsizetype pos, std::u16string_view lowerNeedle)
{
    if (pos < 0 || size - pos < qsizetype(lowerNeedle.size()))
        return false;
    for (std::size_t i = 0; i < lowerNeedle.size(); ++i) {
        if (lowerAscii(text[pos + qsizetype(i)]) != lowerNeedle[i])
            return false;
    }
    return true;
}

} // namespace

QString StripWithStringBuilder(QStringView text)
{
    const char16_t *s = text.utf16();
    const qsizetype n = text.size();
    QString out(n, Qt::Uninitialized);
    auto *o = reinterpret_cast<char16_t *>(out.data());
    qsizetype written = 0;
    bool inTag = false, inScript = false, inStyle = false;
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = s[i];
        if (c == u'<') {
            inTag = true;
            // Only the first characters are compared, so <scripts> and
            // <styled> open a script or a style as well.
            if (hasAt(s, n, i, u"<script"))
                inScript = true;
            else if (hasAt(s, n, i, u"<style"))
                inStyle = true;
        } else if (c == u'>') {
            inTag = false;
            // A script ends only at "</script>", so markup-like text in its
            // code never leaks out.
            if (hasAt(s, n, i - 8, u"</script>"))
                inScript = false;
            else if (hasAt(s, n, i - 7, u"</style>"))
                inStyle = false;
        } else if (!inTag && !inScript && !inStyle) {
            o[written++] = c;
        }
    }
    out.truncate(written);
    return HtmlDecode(out);
}

} // namespace sentrel
