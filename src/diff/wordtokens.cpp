#include "diff/wordtokens.h"
#include <QChar>

namespace sentrel {

namespace {

enum class CharClass { Word, Blank, Other };

CharClass classOf(char32_t c)
{
    if (QChar::isLetterOrNumber(c) || QChar::isMark(c))
        return CharClass::Word;
    if (QChar::isSpace(c))
        return CharClass::Blank;
    return CharClass::Other;
}

// The code point at position and how many code units it takes; a lone
// surrogate counts as a character of its own.
char32_t codePointAt(QStringView line, int position, int &units)
{
    const QChar first = line[position];
    if (first.isHighSurrogate() && position + 1 < line.size() && line[position + 1].isLowSurrogate()) {
        units = 2;
        return QChar::surrogateToUcs4(first, line[position + 1]);
    }
    units = 1;
    return first.unicode();
}

} // namespace

std::vector<int> wordTokenBounds(QStringView line)
{
    std::vector<int> bounds;
    const int length = int(line.size());
    int position = 0;
    while (position < length) {
        bounds.push_back(position);
        int units = 0;
        const CharClass kind = classOf(codePointAt(line, position, units));
        position += units;
        if (kind == CharClass::Other)
            continue;
        while (position < length && classOf(codePointAt(line, position, units)) == kind)
            position += units;
    }
    bounds.push_back(length);
    return bounds;
}

} // namespace sentrel
