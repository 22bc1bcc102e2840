#pragma once
#include "html/attrdict.h"
#include "html/attrpattern.h"
#include <QStringList>
#include <memory>

namespace sentrel::html {

// Reads the attribute text of a start tag into a new dictionary (possibly
// empty, in every case): one entry per match of the attribute pattern, the
// first non-blank group giving the key and the group after it the value, both
// trimmed, quotes kept. Flaws go to parseErr: nothing found, text left over,
// a name given twice (the first value stays), a matching error.
std::unique_ptr<AttributeDict> ParseAttributes(QStringView text, const AttributePattern &pattern,
                                               QStringList &parseErr);

} // namespace sentrel::html
