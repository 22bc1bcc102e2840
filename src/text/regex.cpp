#include "text/regex.h"
#include <cstddef>

namespace sentrel {

namespace {
QString pcreMessage(int code)
{
    PCRE2_UCHAR buffer[256];
    const int n = pcre2_get_error_message(code, buffer, sizeof buffer / sizeof buffer[0]);
    return n < 0 ? QStringLiteral("regular expression error %1").arg(code)
                 : QString(reinterpret_cast<const QChar *>(buffer), n);
}

bool isHigh(char16_t c)
{
    return c >= 0xD800 && c <= 0xDBFF;
}
bool isLow(char16_t c)
{
    return c >= 0xDC00 && c <= 0xDFFF;
}
} // namespace

RegexError::RegexError(qsizetype offset, QString description)
    : Error(QStringLiteral("Error in regular expression at offset %1: %2").arg(offset).arg(description)),
      offset_(offset), description_(std::move(description))
{
}

RegexSubject::RegexSubject(QStringView text) : view_(text)
{
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = text[i].unicode();
        if (c < 0xD800 || c > 0xDFFF)
            continue;
        if (isHigh(c) && i + 1 < n && isLow(text[i + 1].unicode())) {
            ++i;
            continue;
        }
        if (repaired_.isNull())
            repaired_ = text.toString();
        repaired_[i] = QChar(0xFFFD);
    }
    if (!repaired_.isNull())
        view_ = repaired_;
}

RegexMatch::RegexMatch() = default;
RegexMatch::~RegexMatch()
{
    pcre2_match_data_free(data_);
}

qsizetype RegexMatch::start(int group) const
{
    if (!data_ || group < 0 || group >= groups_)
        return -1;
    const PCRE2_SIZE v = pcre2_get_ovector_pointer(data_)[std::ptrdiff_t(2) * group];
    return v == PCRE2_UNSET ? -1 : qsizetype(v);
}

qsizetype RegexMatch::end(int group) const
{
    if (!data_ || group < 0 || group >= groups_)
        return -1;
    const PCRE2_SIZE v = pcre2_get_ovector_pointer(data_)[2 * group + 1];
    return v == PCRE2_UNSET ? -1 : qsizetype(v);
}

QStringView RegexMatch::captured(int group) const
{
    const qsizetype s = start(group);
    if (s < 0)
        return {};
    return subject_.sliced(s, end(group) - s);
}

Regex::Regex(QStringView pattern, uint32_t flags, Limits limits)
{
    int errorCode = 0;
    PCRE2_SIZE errorOffset = 0;
    pcre2_compile_context *cc = pcre2_compile_context_create(nullptr);
    pcre2_set_newline(cc, PCRE2_NEWLINE_ANY);
    pcre2_set_bsr(cc, PCRE2_BSR_UNICODE);
    code_ = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern.utf16()), pattern.size(),
                          flags | PCRE2_UTF | PCRE2_NO_UTF_CHECK, &errorCode, &errorOffset, cc);
    pcre2_compile_context_free(cc);
    if (!code_)
        throw RegexError(qsizetype(errorOffset), pcreMessage(errorCode));
    jit_ = pcre2_jit_compile(code_, PCRE2_JIT_COMPLETE) == 0;
    context_ = pcre2_match_context_create(nullptr);
    if (limits.match)
        pcre2_set_match_limit(context_, limits.match);
    if (limits.depth)
        pcre2_set_depth_limit(context_, limits.depth);
}

Regex::~Regex()
{
    pcre2_match_context_free(context_);
    pcre2_code_free(code_);
}

int Regex::captureCount() const
{
    uint32_t n = 0;
    pcre2_pattern_info(code_, PCRE2_INFO_CAPTURECOUNT, &n);
    return int(n);
}

bool Regex::findNext(const RegexSubject &subject, qsizetype from, RegexMatch &match,
                     uint32_t extraOptions) const
{
    return findNextBefore(subject, from, subject.view().size(), match, extraOptions);
}

bool Regex::findNextBefore(const RegexSubject &subject, qsizetype from, qsizetype end, RegexMatch &match,
                           uint32_t extraOptions) const
{
    if (!match.data_) {
        match.data_ = pcre2_match_data_create_from_pattern(code_, nullptr);
        match.groups_ = captureCount() + 1;
    }
    const QStringView text = subject.view();
    match.subject_ = text;
    end = qBound(qsizetype(0), end, text.size());
    if (from > end)
        return false;
    const int rc = pcre2_match(code_, reinterpret_cast<PCRE2_SPTR>(text.utf16()), PCRE2_SIZE(end),
                               PCRE2_SIZE(from), extraOptions | PCRE2_NO_UTF_CHECK, match.data_, context_);
    if (rc >= 0)
        return true;
    if (rc == PCRE2_ERROR_NOMATCH || rc == PCRE2_ERROR_PARTIAL)
        return false;
    if (rc == PCRE2_ERROR_MATCHLIMIT || rc == PCRE2_ERROR_DEPTHLIMIT || rc == PCRE2_ERROR_HEAPLIMIT ||
        rc == PCRE2_ERROR_JIT_STACKLIMIT)
        throw RegexLimitError(pcreMessage(rc));
    throw Error(pcreMessage(rc));
}

void Regex::forEachMatch(const RegexSubject &subject,
                         const std::function<void(const RegexMatch &)> &onMatch) const
{
    const QStringView text = subject.view();
    RegexMatch m;
    qsizetype pos = 0;
    uint32_t options = 0;
    while (pos <= text.size()) {
        if (!findNext(subject, pos, m, options)) {
            if (options == 0)
                return;
            // No non-empty match here: step over one character (a CR LF pair
            // or a surrogate pair counts as one) and search normally again.
            qsizetype step = 1;
            if (pos + 1 < text.size()) {
                const char16_t c = text[pos].unicode(), d = text[pos + 1].unicode();
                if ((c == u'\r' && d == u'\n') || (isHigh(c) && isLow(d)))
                    step = 2;
            }
            pos += step;
            options = 0;
            continue;
        }
        onMatch(m);
        pos = m.end();
        options = m.start() == m.end() ? PCRE2_NOTEMPTY_ATSTART | PCRE2_ANCHORED : 0;
    }
}

} // namespace sentrel
