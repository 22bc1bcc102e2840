#include "html/attrpattern.h"
#include "html/charclass.h"
#include <QStringList>
#include <limits>

namespace sentrel::html {

namespace {

const char16_t *const NameValueAlternatives[] = {
    uR"(([^\s]*?[^\S]*)=([^\S]*".*?"[^\S]*))",
    uR"(([^\s]*?[^\S]*)=([^\S]*'.*?'[^\S]*))",
    uR"(([^\s]*?[^\S]*)=([^\S]*[^\s]+[^\S]*))",
};

std::vector<QString> wordsOf(AttributePattern::Kind kind)
{
    if (kind == AttributePattern::Kind::Predicate)
        return {QStringLiteral("autofocus"), QStringLiteral("disabled"), QStringLiteral("selected")};
    return {QStringLiteral("allowTransparency"),
            QStringLiteral("allowfullscreen"),
            QStringLiteral("novalidate"),
            QStringLiteral("autofocus"),
            QStringLiteral("itemscope"),
            QStringLiteral("disabled"),
            QStringLiteral("readonly"),
            QStringLiteral("selected"),
            QStringLiteral("checked"),
            QStringLiteral("pubdate"),
            QStringLiteral("nowrap"),
            QStringLiteral("hidden"),
            QStringLiteral("async")};
}

bool isHighSurrogate(char16_t c)
{
    return c >= 0xD800 && c <= 0xDBFF;
}
bool isLowSurrogate(char16_t c)
{
    return c >= 0xDC00 && c <= 0xDFFF;
}

// The patterns are linear by construction here, so the library's default
// backtracking budget would only cut off very long attribute values.
constexpr RegexLimits NoBacktrackingCap{std::numeric_limits<uint32_t>::max(), 0};

} // namespace

QString AttributePattern::patternText(Kind kind)
{
    QStringList alternatives;
    for (const char16_t *a : NameValueAlternatives)
        alternatives.append(QString::fromUtf16(a));
    for (const QString &w : wordsOf(kind))
        alternatives.append(u'(' + w + QStringLiteral("[^\\S]*)()"));
    return alternatives.join(u'|');
}

uint32_t AttributePattern::flagsOf(Kind kind)
{
    return kind == Kind::Attribute ? Regex::Caseless | Regex::Multiline | Regex::DotAll : Regex::NoFlags;
}

AttributePattern::AttributePattern(Kind kind)
    : caseless_(kind == Kind::Attribute), words_(wordsOf(kind)),
      regex_(patternText(kind), flagsOf(kind), NoBacktrackingCap)
{
    if (caseless_)
        for (QString &w : words_)
            w = w.toLower();
}

qsizetype AttributePattern::wordAt(QStringView text, qsizetype pos) const
{
    for (const QString &w : words_) {
        const bool found = caseless_ ? hasCaselessAt(text, pos, w) : text.sliced(pos).startsWith(w);
        if (found)
            return w.size();
    }
    return 0;
}

AttributeScan::AttributeScan(const AttributePattern &pattern, const RegexSubject &subject)
    : pattern_(pattern), subject_(subject), text_(subject.view())
{
    for (qsizetype i = text_.size() - 1; i >= 0; --i)
        if (!isPatternSpace(text_[i].unicode())) {
            lastNonBlank_ = i;
            break;
        }
}

qsizetype AttributeScan::runEnd(qsizetype pos)
{
    if (pos < runFrom_ || pos >= runTo_) {
        runFrom_ = runTo_ = pos;
        while (runTo_ < text_.size() && !isPatternSpace(text_[runTo_].unicode()))
            ++runTo_;
    }
    return runTo_;
}

qsizetype AttributeScan::blanksEnd(qsizetype pos)
{
    if (pos < blanksFrom_ || pos >= blanksTo_) {
        blanksFrom_ = blanksTo_ = pos;
        while (blanksTo_ < text_.size() && isPatternSpace(text_[blanksTo_].unicode()))
            ++blanksTo_;
    }
    return blanksTo_;
}

// "([^\s]*?[^\S]*)=" can end at any "=" of the non-blank run that starts at
// pos, or at an "=" right after the blanks that follow the run; the value
// alternative "[^\S]*[^\s]+[^\S]*" then succeeds exactly when a non-blank
// character follows that "=" anywhere in the text (and the quoted values need
// one too). So a "name = value" match begins at pos exactly when one of those
// "=" stands before the last non-blank character.
bool AttributeScan::nameValueAt(qsizetype pos)
{
    const bool blank = isPatternSpace(text_[pos].unicode());
    const qsizetype run = blank ? pos : runEnd(pos);
    if (equals_ < pos) {
        equals_ = text_.indexOf(u'=', pos);
        if (equals_ < 0)
            equals_ = text_.size();
    }
    if (equals_ < run)
        return equals_ < lastNonBlank_;
    const qsizetype after = blanksEnd(run);
    return after < text_.size() && text_[after] == u'=' && after < lastNonBlank_;
}

bool AttributeScan::tryAt(qsizetype pos, qsizetype end, RegexMatch &match)
{
    const Regex &re = pattern_.regex();
    if (re.findNextBefore(subject_, pos, end, match, PCRE2_ANCHORED))
        return true;
    // Not reached when the pre-checks are right; the full-text attempt keeps
    // the result exact even if they were not.
    return end < text_.size() && re.findNext(subject_, pos, match, PCRE2_ANCHORED);
}

bool AttributeScan::next(RegexMatch &match)
{
    const qsizetype n = text_.size();
    for (qsizetype pos = from_; pos < n;) {
        bool found = false;
        if (nameValueAt(pos)) {
            found = tryAt(pos, n, match);
        } else if (const qsizetype word = pattern_.wordAt(text_, pos)) {
            // Only a bare word can match here, and it reads no further than
            // the blanks after it: the match is the same in the text cut there.
            found = tryAt(pos, blanksEnd(pos + word), match);
        }
        if (found) {
            from_ = match.end();
            return true;
        }
        // The search moves on by one character, a surrogate pair being one.
        pos +=
            (isHighSurrogate(text_[pos].unicode()) && pos + 1 < n && isLowSurrogate(text_[pos + 1].unicode()))
                ? 2
                : 1;
    }
    from_ = n;
    return false;
}

} // namespace sentrel::html
