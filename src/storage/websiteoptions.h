#pragma once
#include "storage/storeschema.h"
#include <QString>
#include <QStringView>
#include <array>
#include <iterator>
#include <optional>

// The check options of one URL, typed, and the rules by which each part of
// the program reads them. The options dialog, sentrel-cli's set and show,
// and the check all use this one struct; they differ only in the rule they
// apply to a stored value, and each rule is stated here.
namespace sentrel {

inline constexpr int MaxLineNumber = 999999999;

// The one number parser for line bounds, stored or typed: a whole decimal
// number (blanks and control characters around it ignored, one optional
// sign) within 64 bits; nothing for anything else, "" included.
std::optional<qint64> parseLineNumber(QStringView text);

struct WebsiteOptions {
    // Stored as "YES" or "NO"; anything but exactly "NO" (NULL, "no",
    // "yes", ...) strips.
    bool strip = true;
    // Only the lines lineStart..lineStop: on when either bound column holds
    // text, even text that is no number.
    bool lineRange = false;
    // The stored number of each bound as parseLineNumber reads it; nothing
    // when the column holds no number (or lineRange is off). A stored bound
    // may be negative or huge: each reader has its own rule for that
    // (lineBoundAsChecked, lineNumberAsEdited).
    std::optional<qint64> lineStart;
    std::optional<qint64> lineStop;
    // Nothing is NULL in the column. Empty text is stored as it was given
    // (a checked box with an empty field) but counts as off everywhere.
    std::optional<QString> keyword;
    std::optional<QString> xpath;
    std::optional<QString> regex;

    bool operator==(const WebsiteOptions &) const = default;
};

// The raw values of the option columns of one row; nothing is NULL.
struct StoredOptionTexts {
    std::optional<QString> strip;
    std::optional<QString> lineStart;
    std::optional<QString> lineStop;
    std::optional<QString> keyword;
    std::optional<QString> xpath;
    std::optional<QString> regex;
};

// The members of `texts` in the order of storeschema::OptionColumns: the
// store reads and writes the option columns through this one list.
std::array<std::optional<QString> *, std::size(storeschema::OptionColumns)>
inColumnOrder(StoredOptionTexts &texts);

// Reads the option columns of a row; keeps every value the check and the
// dialog tell apart.
WebsiteOptions optionsFromStored(const StoredOptionTexts &stored);

// The values to store for `options`, in column order (STRIP, LINESTART,
// LINESTOP, KEYWORD, XPATH, REGEX): line bounds as decimal text and NULL
// when the range is off, STRIP as "YES" or "NO".
StoredOptionTexts storedFromOptions(const WebsiteOptions &options);

// A text option the check and the dialog act on: set and not empty.
inline bool isOn(const std::optional<QString> &text)
{
    return text && !text->isEmpty();
}

// The check's rule for a line bound: a number within 32 bits as it is
// (negative included: a negative stop keeps no line); anything else is 0,
// no bound on that side.
int lineBoundAsChecked(const std::optional<qint64> &bound);

// The dialog's (and sentrel-cli's set and show) rule for a line bound: no
// number is 0, a number is brought into 0..MaxLineNumber.
int lineNumberAsEdited(const std::optional<qint64> &bound);

// The options as the dialog opens on them, and so as OK stores them
// unchanged: a text option that is off is NULL, line bounds follow
// lineNumberAsEdited while the range is on and are nothing while it is off.
WebsiteOptions optionsAsEdited(const WebsiteOptions &stored);

} // namespace sentrel
