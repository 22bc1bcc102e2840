#include "html/charclass.h"

namespace sentrel::html {

bool hasCaselessAt(QStringView text, qsizetype pos, QStringView literal)
{
    if (pos < 0 || text.size() - pos < literal.size())
        return false;
    for (qsizetype i = 0; i < literal.size(); ++i)
        if (foldCaseless(text[pos + i].unicode()) != literal[i].unicode())
            return false;
    return true;
}

qsizetype indexOfCaseless(QStringView text, QStringView literal, qsizetype from)
{
    if (literal.isEmpty())
        return from <= text.size() ? from : -1;
    // Every literal searched for starts with a character that has no other
    // case ("<" or "-"), so the plain search for it finds every candidate.
    const QChar first = literal[0];
    for (qsizetype i = text.indexOf(first, from); i >= 0; i = text.indexOf(first, i + 1))
        if (hasCaselessAt(text, i, literal))
            return i;
    return -1;
}

} // namespace sentrel::html
