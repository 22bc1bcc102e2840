#pragma once
#include "text/error.h"
#include <QString>
#include <QStringView>
#include <cstdint>
#include <functional>
#include <memory>

#ifndef PCRE2_CODE_UNIT_WIDTH
#define PCRE2_CODE_UNIT_WIDTH 16
#endif
#include <pcre2.h>

// A thin RAII layer over 16-bit PCRE2. Every pattern of the program is compiled
// the same way: UTF-16 mode, any Unicode newline as line end, no Unicode
// character properties (so \s, \b and ranges act on ASCII).
namespace sentrel {

// A pattern that does not compile. The message reads
// "Error in regular expression at offset N: description".
class RegexError : public Error {
public:
    RegexError(qsizetype offset, QString description);
    qsizetype offset() const { return offset_; }
    const QString &description() const { return description_; }

private:
    qsizetype offset_;
    QString description_;
};

// Matching gave up because the pattern backtracked past the set limits.
class RegexLimitError : public Error {
public:
    using Error::Error;
};

// A text prepared for matching: lone surrogates are replaced by U+FFFD (same
// length, so every offset stays valid) so that PCRE2 can skip its UTF check on
// every call instead of rescanning the whole text each time.
class RegexSubject {
public:
    explicit RegexSubject(QStringView text);
    QStringView view() const { return view_; }

private:
    QString repaired_;
    QStringView view_;
};

class RegexMatch {
public:
    RegexMatch();
    ~RegexMatch();
    RegexMatch(const RegexMatch &) = delete;
    RegexMatch &operator=(const RegexMatch &) = delete;

    // Group 0 is the whole match. Unset groups give -1 / an empty view.
    qsizetype start(int group = 0) const;
    qsizetype end(int group = 0) const;
    bool isSet(int group) const { return start(group) >= 0; }
    QStringView captured(int group = 0) const;
    int groupCount() const { return groups_; }

private:
    friend class Regex;
    pcre2_match_data *data_ = nullptr;
    QStringView subject_;
    int groups_ = 0;
};

// Backtracking limits of one match; 0 keeps the library default.
struct RegexLimits {
    uint32_t match = 0;
    uint32_t depth = 0;
};

class Regex {
public:
    enum Flag : uint32_t {
        NoFlags = 0,
        Caseless = PCRE2_CASELESS,
        Multiline = PCRE2_MULTILINE,
        DotAll = PCRE2_DOTALL,
    };
    using Limits = RegexLimits;

    Regex(QStringView pattern, uint32_t flags, Limits limits = {});
    ~Regex();
    Regex(const Regex &) = delete;
    Regex &operator=(const Regex &) = delete;

    // Finds the first match starting at or after `from`. `extraOptions` are
    // pcre2_match options (PCRE2_ANCHORED, PCRE2_NOTEMPTY_ATSTART ...).
    bool findNext(const RegexSubject &subject, qsizetype from, RegexMatch &match,
                  uint32_t extraOptions = 0) const;

    // As findNext, but the subject is taken to end at `end` (clamped to its
    // size): the match sees the text as if it stopped there, so "$", "\b" and
    // greedy runs behave at `end` as at the end of a shorter text.
    bool findNextBefore(const RegexSubject &subject, qsizetype from, qsizetype end, RegexMatch &match,
                        uint32_t extraOptions = 0) const;

    // Every non-overlapping match from left to right; an empty match is
    // retried as non-empty at the same place before moving on by one character.
    void forEachMatch(const RegexSubject &subject,
                      const std::function<void(const RegexMatch &)> &onMatch) const;

    int captureCount() const;

private:
    pcre2_code *code_ = nullptr;
    pcre2_match_context *context_ = nullptr;
    bool jit_ = false;
};

} // namespace sentrel
