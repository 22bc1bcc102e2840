#include "html/stringpool.h"

namespace sentrel::html {

namespace {
// Long enough for names and most class values; texts are rarely repeated.
constexpr qsizetype LongestShared = 32;
// The strings a page repeats show up early; a bounded table stays in the
// cache, where one growing with every distinct id and link of a large page
// would make each look-up slower the larger the page.
constexpr std::size_t MostShared = 4096;
} // namespace

QString StringPool::intern(QStringView text)
{
    if (text.isEmpty())
        return {};
    if (text.size() > LongestShared)
        return text.toString();
    const auto it = strings_.find(text);
    if (it != strings_.end())
        return *it;
    if (strings_.size() >= MostShared)
        return text.toString();
    return *strings_.insert(text.toString()).first;
}

} // namespace sentrel::html
