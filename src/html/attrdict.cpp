#include "html/attrdict.h"

namespace sentrel {

namespace {
constexpr std::size_t IndexFrom = 16;
}

const QString *AttributeDict::find(QStringView key) const
{
    if (!index_.isEmpty()) {
        const auto it = index_.constFind(key.toString());
        return it == index_.cend() ? nullptr : &entries_[std::size_t(*it)].second;
    }
    for (const auto &e : entries_)
        if (e.first == key)
            return &e.second;
    return nullptr;
}

// Both are moved into the vector; clang-tidy 14 cannot follow the move
// through the polymorphic allocator's construction and calls them unused.
// NOLINTNEXTLINE(performance-unnecessary-value-param)
bool AttributeDict::add(QString key, QString value)
{
    if (find(key))
        return false;
    entries_.emplace_back(std::move(key), std::move(value));
    if (!index_.isEmpty()) {
        index_.insert(entries_.back().first, qsizetype(entries_.size() - 1));
    } else if (entries_.size() > IndexFrom) {
        for (std::size_t i = 0; i < entries_.size(); ++i)
            index_.insert(entries_[i].first, qsizetype(i));
    }
    return true;
}

} // namespace sentrel
