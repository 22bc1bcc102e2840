#include "html/tokenizer.h"
#include "html/charclass.h"
#include <limits>

namespace sentrel::html {

// The order of the alternatives is the order in which the pattern tries them.
const std::array<HtmlTokenizer::RawKind, 6> HtmlTokenizer::Kinds = {{
    {u"<plaintext>", u"</plaintext>", 11},
    {u"<title>", u"</title>", 7},
    {u"<xmp>", u"</xmp>", 5},
    {u"<script", u"</script>", 7},
    {u"<textarea", u"</textarea>", 9},
    {u"<!--", u"-->", 5}, // ".+?": at least one character in between
}};

QString HtmlTokenizer::patternText()
{
    return QStringLiteral("(<PLAINTEXT>.*?</PLAINTEXT>[^<]*)|(<title>.*?</title>[^<]*)|(<xmp>.*?</xmp>[^<]*)|"
                          "(<script.*?</script>[^<]*)|(<textarea.*?</textarea>[^<]*)|(<!--.+?-->[^<]*)|") +
           QStringLiteral("(<[^>]+>[^<]*)");
}

uint32_t HtmlTokenizer::flags()
{
    return Regex::Caseless | Regex::Multiline | Regex::DotAll;
}

HtmlTokenizer::HtmlTokenizer(const RegexSubject &page)
    // A raw-text element of more than ten million characters is still one
    // token; the work stays linear, so no backtracking cap is needed.
    : page_(page), text_(page.view()),
      regex_(patternText(), flags(), RegexLimits{std::numeric_limits<uint32_t>::max(), 0})
{
    closingSeen_.fill(-1);
    noClosingFrom_.fill(std::numeric_limits<qsizetype>::max());
}

int HtmlTokenizer::rawKindAt(qsizetype pos) const
{
    for (int k = 0; k < int(Kinds.size()); ++k)
        if (hasCaselessAt(text_, pos, Kinds[k].opening))
            return k;
    return -1;
}

bool HtmlTokenizer::closingAfter(int kind, qsizetype from)
{
    if (closingSeen_[kind] >= from)
        return true;
    if (from >= noClosingFrom_[kind])
        return false;
    const qsizetype at = indexOfCaseless(text_, Kinds[kind].closing, from);
    if (at < 0) {
        noClosingFrom_[kind] = from;
        return false;
    }
    closingSeen_[kind] = at;
    return true;
}

qsizetype HtmlTokenizer::nextGreater(qsizetype from)
{
    if (greater_ == -2)
        return -1;
    if (greater_ < from) {
        greater_ = text_.indexOf(u'>', from);
        if (greater_ < 0) {
            greater_ = -2;
            return -1;
        }
    }
    return greater_;
}

bool HtmlTokenizer::next(qsizetype from, qsizetype &start, qsizetype &end)
{
    // Every alternative begins with "<" and holds a ">" after it.
    for (qsizetype pos = text_.indexOf(u'<', from); pos >= 0; pos = text_.indexOf(u'<', pos + 1)) {
        const qsizetype greater = nextGreater(pos + 1);
        if (greater < 0)
            return false; // no ">" left: no token can begin here or later
        if (greater == pos + 1)
            continue; // "<>": no alternative can begin here

        // A token begins here: "<[^>]+>[^<]*" matches at least. The pattern
        // may be shown the whole text, except where a raw-text opening has no
        // closing after it: that alternative is bound to fail, so the text is
        // cut just after the "<" that ends the fall-back alternative.
        qsizetype limit = text_.size();
        const int kind = rawKindAt(pos);
        if (kind >= 0 && !closingAfter(kind, pos + Kinds[kind].closingFrom)) {
            const qsizetype lt = text_.indexOf(u'<', greater + 1);
            if (lt >= 0)
                limit = lt + 1;
        }
        if (regex_.findNextBefore(page_, pos, limit, match_, PCRE2_ANCHORED) ||
            regex_.findNext(page_, pos, match_)) {
            start = match_.start();
            end = match_.end();
            return true;
        }
        return false;
    }
    return false;
}

} // namespace sentrel::html
