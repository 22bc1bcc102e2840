#include "strip/htmldecode.h"
#include "strip/strippers.h"
#include "text/regex.h"
#include <algorithm>
#include <array>
#include <memory>
#include <utility>

namespace sentrel {

namespace {

// Style elements, comments, script elements and single tags, tried in this
// order at each position. The greedy middle of the comment alternative makes
// one match run from the first comment's start to the last comment's end.
constexpr QStringView kStyleAlternative = u"<style.*?>.*?<\\/style>";
constexpr QStringView kCommentAlternative = u"<!--*.*-->";
constexpr QStringView kScriptAlternative = u"<script.*?>.*?<\\/script>";
constexpr QStringView kTagAlternative = u"<[^>]+>";

// Searching with the whole pattern is quadratic on some pages: an attempt of
// the style, comment or script alternative that cannot succeed reads on to the
// end of the text before it fails, and a page may hold many such starts (a
// "<!--" after the last "-->", a "<style" after the last "</style>"). Where
// each of these alternatives can no longer match at all is known in advance,
// so from there on the search runs with the pattern minus that alternative.
// Dropping an alternative only where it cannot match changes no match.
enum Alternative : unsigned { Style = 1, Comment = 2, Script = 4, AllAlternatives = 7 };

QString patternWith(unsigned alternatives)
{
    QString pattern;
    for (const auto &[flag, alternative] :
         {std::pair{Style, kStyleAlternative}, std::pair{Comment, kCommentAlternative},
          std::pair{Script, kScriptAlternative}}) {
        if (alternatives & flag) {
            pattern += alternative;
            pattern += u'|';
        }
    }
    pattern += kTagAlternative;
    return pattern;
}

// What the caseless pattern takes for each letter of "style" and "script":
// besides the two ASCII cases, s also matches U+017F (long s).
bool matchesCaseless(char16_t c, char16_t lower)
{
    if (c == lower || c == lower - 32)
        return true;
    return lower == u's' && c == 0x017F;
}

bool hasCaselessAt(QStringView text, qsizetype pos, QStringView lowerNeedle)
{
    if (text.size() - pos < lowerNeedle.size())
        return false;
    for (qsizetype i = 0; i < lowerNeedle.size(); ++i) {
        const char16_t want = lowerNeedle[i].unicode();
        const char16_t c = text[pos + i].unicode();
        if (want >= u'a' && want <= u'z' ? !matchesCaseless(c, want) : c != want)
            return false;
    }
    return true;
}

// The first positions from which each alternative can no longer match.
struct Limits {
    qsizetype style = 0;
    qsizetype comment = 0;
    qsizetype script = 0;

    unsigned alternativesAt(qsizetype pos) const
    {
        return (pos < style ? Style : 0u) | (pos < comment ? Comment : 0u) | (pos < script ? Script : 0u);
    }
};

// "<NAME.*?>.*?</NAME>" can match at p only if the first ">" at or after the
// end of "<NAME" comes before the start of the last "</NAME>", that is only
// if p + NAME-length + 1 <= the last ">" before that start.
qsizetype elementLimit(QStringView text, qsizetype lastEndTag, qsizetype openLength)
{
    if (lastEndTag < 0)
        return 0;
    const qsizetype lastGreater = lastEndTag > 0 ? text.lastIndexOf(u'>', lastEndTag - 1) : -1;
    return lastGreater < 0 ? 0 : std::max<qsizetype>(0, lastGreater - openLength + 1);
}

Limits limitsOf(QStringView text)
{
    // All three end texts end in ">", which a vectorised search finds quickly.
    qsizetype lastStyleEnd = -1, lastScriptEnd = -1, lastCommentEnd = -1;
    for (qsizetype i = text.indexOf(u'>'); i >= 0; i = text.indexOf(u'>', i + 1)) {
        if (i >= 2 && text[i - 1] == u'-' && text[i - 2] == u'-')
            lastCommentEnd = i - 2;
        else if (i >= 7 && hasCaselessAt(text, i - 7, u"</style>"))
            lastStyleEnd = i - 7;
        else if (i >= 8 && hasCaselessAt(text, i - 8, u"</script>"))
            lastScriptEnd = i - 8;
    }
    Limits limits;
    limits.style = elementLimit(text, lastStyleEnd, 6);   // "<style"
    limits.script = elementLimit(text, lastScriptEnd, 7); // "<script"
    // "<!--*.*-->" at p needs a "-->" that starts at p + 3 or later.
    limits.comment = lastCommentEnd < 0 ? 0 : std::max<qsizetype>(0, lastCommentEnd - 2);
    return limits;
}

class MarkupPatterns {
public:
    const Regex &forAlternatives(unsigned alternatives)
    {
        std::unique_ptr<Regex> &slot = compiled_[alternatives];
        if (!slot)
            slot = std::make_unique<Regex>(patternWith(alternatives), Regex::Caseless | Regex::DotAll);
        return *slot;
    }

private:
    std::array<std::unique_ptr<Regex>, AllAlternatives + 1> compiled_;
};

} // namespace

QString StripWithRegex(QStringView text)
{
    const Limits limits = limitsOf(text);
    MarkupPatterns patterns;
    // The subject may differ from `text` in lone surrogates only (same
    // length), so the kept parts are copied from `text` itself.
    const RegexSubject subject(text);
    QString kept;
    kept.reserve(text.size());
    RegexMatch match;
    qsizetype pos = 0;
    while (pos < text.size()) {
        // The alternatives still possible at `pos` include every one that is
        // possible further on, so a match found beyond `pos` is the right one too.
        const Regex &markup = patterns.forAlternatives(limits.alternativesAt(pos));
        if (!markup.findNext(subject, pos, match))
            break;
        kept.append(text.sliced(pos, match.start() - pos));
        pos = match.end(); // never an empty match: every alternative spans "<" to ">"
    }
    if (pos < text.size())
        kept.append(text.sliced(pos));
    return HtmlDecode(kept);
}

} // namespace sentrel
