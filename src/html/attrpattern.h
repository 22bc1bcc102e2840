#pragma once
#include "text/regex.h"
#include <QString>
#include <QStringView>
#include <vector>

// The attribute pattern of the parser and the predicate pattern of the XPath
// evaluator: three "name = value" alternatives (double-quoted, single-quoted,
// unquoted value), then alternatives that take a bare word; alternative k holds
// the groups 2k-1 and 2k.
//
// Searched plainly, the "name = value" alternatives cost time proportional to
// the rest of a run of non-blank characters at every position where they fail,
// which is quadratic on a long attribute text without "=". AttributeScan finds
// exactly the matches a plain left-to-right search finds, but tries the
// pattern, anchored, only where a match can begin.
namespace sentrel::html {

class AttributePattern {
public:
    enum class Kind {
        Attribute, // the parser's: sixteen alternatives, caseless, multi-line, dot-all
        Predicate, // the evaluator's: six alternatives, no options
    };
    explicit AttributePattern(Kind kind);

    const Regex &regex() const { return regex_; }
    // The pattern text, exactly as compiled.
    static QString patternText(Kind kind);
    static uint32_t flagsOf(Kind kind);

    // Length of a bare-word alternative matching at `pos`, or 0.
    qsizetype wordAt(QStringView text, qsizetype pos) const;

private:
    bool caseless_;
    std::vector<QString> words_; // lower case when caseless
    Regex regex_;
};

// The successive matches of the pattern in one text, each search starting
// where the previous match ended.
class AttributeScan {
public:
    AttributeScan(const AttributePattern &pattern, const RegexSubject &subject);
    bool next(RegexMatch &match);

private:
    // Whether one of the three "name = value" alternatives matches at `pos`.
    bool nameValueAt(qsizetype pos);
    qsizetype runEnd(qsizetype pos);    // end of the non-blank run starting at pos
    qsizetype blanksEnd(qsizetype pos); // end of the blank run starting at pos
    bool tryAt(qsizetype pos, qsizetype end, RegexMatch &match);

    const AttributePattern &pattern_;
    const RegexSubject &subject_;
    QStringView text_;
    qsizetype lastNonBlank_ = -1;
    qsizetype from_ = 0;
    qsizetype runFrom_ = 0, runTo_ = 0;       // cached non-blank run
    qsizetype blanksFrom_ = 0, blanksTo_ = 0; // cached blank run
    qsizetype equals_ = -1;                   // first "=" at or after the last position asked
};

} // namespace sentrel::html
