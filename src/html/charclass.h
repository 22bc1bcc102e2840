#pragma once
#include <QStringView>

// How the HTML patterns see single characters. Every pattern is compiled in
// UTF mode without Unicode properties, so the character classes are ASCII
// ones; caseless matching still folds the two non-ASCII letters that Unicode
// makes equivalent to ASCII ones: U+017F (long s) with "s" and U+212A (Kelvin
// sign) with "k". The pre-checks that keep the patterns linear on hostile
// input must agree with that exactly, and html_tests checks them against the
// library for every BMP character.
namespace sentrel::html {

// "\s" (and so "[^\S]"): tab, line feed, vertical tab, form feed, carriage return, space.
constexpr bool isPatternSpace(char16_t c)
{
    return c == u' ' || (c >= 9 && c <= 13);
}

// The case-folded form a caseless pattern compares: ASCII lower case for
// letters, "s" for U+017F, "k" for U+212A, every other character itself.
constexpr char16_t foldCaseless(char16_t c)
{
    if (c >= u'A' && c <= u'Z')
        return char16_t(c + 32);
    if (c == 0x017F)
        return u's';
    if (c == 0x212A)
        return u'k';
    return c;
}

// A character of the caseless class "[A-Z0-9]".
constexpr bool isCaselessAlnum(char16_t c)
{
    const char16_t f = foldCaseless(c);
    return (f >= u'a' && f <= u'z') || (f >= u'0' && f <= u'9');
}

// True when `text` holds `literal` at `pos`, compared as a caseless pattern
// literal does. `literal` is ASCII with its letters in lower case.
bool hasCaselessAt(QStringView text, qsizetype pos, QStringView literal);

// The first position at or after `from` where `literal` occurs caselessly, or -1.
qsizetype indexOfCaseless(QStringView text, QStringView literal, qsizetype from);

} // namespace sentrel::html
