#pragma once
#include "text/regex.h"
#include <QString>
#include <QStringView>
#include <array>

// Cuts a page into tokens with the tokenizer pattern: each token begins at a
// "<" and runs on over the text after its tag up to the next "<"; raw-text
// elements and comments come whole.
//
// Searched plainly, the pattern scans to the end of the page at every raw-text
// opening or "<!--" that is never closed, and at every "<" after the last ">",
// which is quadratic on pages with many of them. HtmlTokenizer finds exactly
// the tokens a plain search finds: it knows where a token can begin and, where
// an opening has no closing anywhere after it, lets the pattern see the text
// only up to where the fall-back alternative "<[^>]+>[^<]*" ends.
namespace sentrel::html {

class HtmlTokenizer {
public:
    explicit HtmlTokenizer(const RegexSubject &page);

    // The tokenizer pattern, exactly as compiled, and its options.
    static QString patternText();
    static uint32_t flags();

    // The next token whose search starts at `from` (the end of the previous
    // token): its start and end. False when there is none.
    bool next(qsizetype from, qsizetype &start, qsizetype &end);

private:
    struct RawKind {
        QStringView opening;   // lower case; "<script", "<!--", ...
        QStringView closing;   // "</script>", "-->", ...
        qsizetype closingFrom; // where a closing may begin, from the opening's "<"
    };
    static const std::array<RawKind, 6> Kinds;

    int rawKindAt(qsizetype pos) const;
    bool closingAfter(int kind, qsizetype from);
    qsizetype nextGreater(qsizetype from);

    const RegexSubject &page_;
    QStringView text_;
    Regex regex_;
    RegexMatch match_;
    qsizetype greater_ = -1;               // the first ">" at or after the last position asked; -2: none left
    std::array<qsizetype, 6> closingSeen_; // a closing found there
    std::array<qsizetype, 6> noClosingFrom_; // no closing begins at or after this
};

} // namespace sentrel::html
