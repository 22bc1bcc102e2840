#pragma once
#include "html/attrdict.h"
#include "html/attrpattern.h"
#include "html/stringpool.h"
#include <QStringList>

namespace sentrel::html {

// Reads the attribute text of a start tag into a new dictionary (possibly
// empty, in every case): one entry per match of the attribute pattern, the
// first non-blank group giving the key and the group after it the value, both
// trimmed, quotes kept. Flaws go to parseErr: nothing found, text left over,
// a name given twice (the first value stays), a matching error. Keys and
// values come from `pool` when one is given, the entries live in `memory`.
AttributeDict ParseAttributes(QStringView text, const AttributePattern &pattern, QStringList &parseErr,
                              StringPool *pool = nullptr,
                              std::pmr::memory_resource *memory = std::pmr::get_default_resource());

} // namespace sentrel::html
