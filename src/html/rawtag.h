#pragma once
#include "text/regex.h"
#include <QString>

// The raw-text pattern "<([A-Z][A-Z0-9]*)\b([^>]*?)>(.*)<(/\1)>" that splits a
// raw-text token (script, style-less raw elements, title ...) into its parts.
//
// Searched plainly, the pattern runs "(.*)" to the end of the token and back
// at every "<name" inside it, which is quadratic on a long token full of "<"
// whose first tag is not closed by its own name. RawTagMatcher finds exactly
// the match a plain search finds, trying the pattern, anchored, only at a
// "<name" for which a closing "</name>" stands after the tag's ">".
namespace sentrel::html {

class RawTagMatcher {
public:
    RawTagMatcher();
    static QString patternText();
    static uint32_t flags();
    const Regex &regex() const { return regex_; }

    // The first match in the token, as a plain left-to-right search finds it.
    bool find(const RegexSubject &token, RegexMatch &match) const;

private:
    Regex regex_;
};

} // namespace sentrel::html
