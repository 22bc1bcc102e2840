#pragma once
#include "storage/websiteoptions.h"
#include "strip/strippers.h"
#include "text/error.h"
#include <QString>
#include <QStringList>
#include <QStringView>
#include <cstdint>

// The steps that reduce a downloaded page to the text a check compares, each
// a pure function of its inputs so that tests and fuzzers can call any one of
// them alone. They run in a fixed order: strip, line range, keyword, XPath,
// regular expression, exclusions (reducePage).
namespace sentrel {

// The check options of one URL: the store's typed options. The name stays
// for the check's own code.
using CheckOptions = WebsiteOptions;

// A pattern that backtracked past the limits below; handled like an invalid
// pattern (the run that met it ends with this message).
class RegexRunawayError : public Error {
public:
    using Error::Error;
};

// How far a user's pattern may backtrack in one search before it is given
// up. Generous for real patterns on multi-megabyte pages; a catastrophic one
// (nested quantifiers on a long run) stops after well under a second.
inline constexpr uint32_t UserRegexMatchLimit = 10'000'000;
inline constexpr uint32_t UserRegexDepthLimit = 100'000;

// A line bound as a check reads it: a decimal whole number (optional sign,
// blanks around it allowed, within 32 bits); anything else is 0 (no bound).
// The stored text through parseLineNumber and lineBoundAsChecked.
int lineBound(QStringView text);

// Keeps the lines numbered start..stop (from 0, both included); a bound of 0
// leaves that side open. A negative stop drops every line.
QString keepLineRange(QStringView text, int start, int stop);

// Keeps the lines that contain the keyword, letters A-Z compared without
// case and every other character as it is. An empty keyword keeps all lines.
QString keepKeywordLines(QStringView text, QStringView keyword);

// ExtractXPathText with tag-and-text lines and no messages: "" when the
// page does not parse or nothing is selected. An expression the evaluator
// rejects throws its Error (validateXPath) instead of giving "": an empty
// text would be compared and saved as if the page had nothing to watch, and
// the user would never learn that the expression is wrong.
QString selectXPathText(QStringView text, QStringView expression);

// Throws the RegexError keepRegexMatches would throw for a pattern that does
// not compile, so that a pattern can be checked before it is stored.
void validateUserRegex(QStringView pattern);

// Every non-overlapping match of `pattern`, left to right, one per line (the
// whole match; capture groups play no part). Caseless, "^" and "$" at every
// line break, any Unicode line break, dot not matching one. Throws
// RegexError for a pattern that does not compile and RegexRunawayError for
// one that backtracks past the limits.
QString keepRegexMatches(QStringView text, QStringView pattern);

// Drops every non-empty line that contains one of the exclusion texts
// (exact, letter case counts; an empty exclusion occurs nowhere). Empty
// lines always stay. Leaves the text with CR LF line ends.
QString dropExcludedLines(QStringView text, const QStringList &exclusions);

// Steps 9 to 14 of a check: strip (unless options.strip is off), the line
// range while options.lineRange is on (bounds by lineBoundAsChecked), then
// each text option that is on (isOn), then the exclusions. Throws what the stripper,
// the XPath step or the regular expression throws.
QString reducePage(QStringView body, const CheckOptions &options, StripMethod method,
                   const QStringList &exclusions);

} // namespace sentrel
