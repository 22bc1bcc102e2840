#include "html/rawtag.h"
#include "html/charclass.h"
#include <QHash>
#include <limits>

namespace sentrel::html {

namespace {

bool isAsciiAlnum(char16_t c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9');
}

QString folded(QStringView s)
{
    QString out(s.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < s.size(); ++i)
        out[i] = QChar(foldCaseless(s[i].unicode()));
    return out;
}

// Every "</label>" of the token whose label the caseless back-reference could
// equal (characters of "[A-Z0-9]"), by folded label: where the last one begins.
QHash<QString, qsizetype> closingLabels(QStringView t, qsizetype after)
{
    QHash<QString, qsizetype> labels;
    for (qsizetype c = t.indexOf(u"</", after); c >= 0; c = t.indexOf(u"</", c + 1)) {
        qsizetype e = c + 2;
        while (e < t.size() && isCaselessAlnum(t[e].unicode()))
            ++e;
        if (e > c + 2 && e < t.size() && t[e] == u'>')
            labels.insert(folded(t.sliced(c + 2, e - c - 2)), c);
    }
    return labels;
}

} // namespace

QString RawTagMatcher::patternText()
{
    return QStringLiteral("<([A-Z][A-Z0-9]*)\\b([^>]*?)>(.*)<(/\\1)>");
}

uint32_t RawTagMatcher::flags()
{
    return Regex::Caseless | Regex::Multiline | Regex::DotAll;
}

RawTagMatcher::RawTagMatcher()
    : regex_(patternText(), flags(), RegexLimits{std::numeric_limits<uint32_t>::max(), 0})
{
}

bool RawTagMatcher::find(const RegexSubject &token, RegexMatch &match) const
{
    const QStringView t = token.view();
    const qsizetype n = t.size();
    // The ">" after the name is the first ">" after it, and the closing comes
    // after that ">": without a "</" after the token's first ">" nothing matches.
    const qsizetype firstGreater = t.indexOf(u'>');
    if (firstGreater < 0 || t.indexOf(u"</", firstGreater + 1) < 0)
        return false;
    const QHash<QString, qsizetype> labels = closingLabels(t, firstGreater + 1);

    for (qsizetype s = t.indexOf(u'<'); s >= 0 && s + 1 < n; s = t.indexOf(u'<', s + 1)) {
        if (!isCaselessAlnum(t[s + 1].unicode()) || (t[s + 1] >= u'0' && t[s + 1] <= u'9'))
            continue; // "[A-Z]" cannot begin here
        qsizetype e = s + 1;
        bool ascii = true;
        while (e < n && isCaselessAlnum(t[e].unicode())) {
            ascii = ascii && isAsciiAlnum(t[e].unicode());
            ++e;
        }
        if (ascii) {
            // The name is the whole run: inside it no "\b" can hold, and after
            // it "\b" holds unless an underscore follows.
            if (e < n && t[e] == u'_')
                continue;
            const qsizetype greater = t.indexOf(u'>', e);
            if (greater < 0)
                continue;
            const auto it = labels.constFind(folded(t.sliced(s + 1, e - s - 1)));
            if (it == labels.cend() || *it <= greater)
                continue;
        }
        // A name holding U+017F or U+212A (not word characters for "\b") is
        // left to the pattern itself.
        if (regex_.findNext(token, s, match, PCRE2_ANCHORED))
            return true;
    }
    return false;
}

} // namespace sentrel::html
