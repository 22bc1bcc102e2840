#include "checking/htmlentities.h"
#include <algorithm>
#include <iterator>

namespace sentrel {

namespace {

constexpr HtmlEntity kEntities[] = {
#include "checking/htmlentitytable.inc"
};

// No known name is longer than this; longer names are rejected unseen.
constexpr qsizetype kLongestName = 8;

// Three-way comparison of an ASCII name with a UTF-16 one, code unit by code unit.
int compareName(const char *ascii, QStringView name)
{
    qsizetype i = 0;
    for (; ascii[i] != '\0' && i < name.size(); ++i) {
        const char16_t a = char16_t(static_cast<unsigned char>(ascii[i]));
        const char16_t b = name[i].unicode();
        if (a != b)
            return a < b ? -1 : 1;
    }
    if (ascii[i] != '\0')
        return 1;
    return i < name.size() ? -1 : 0;
}

constexpr bool sortedByName()
{
    for (std::size_t i = 1; i < std::size(kEntities); ++i) {
        const char *a = kEntities[i - 1].name, *b = kEntities[i].name;
        while (*a != '\0' && *a == *b) {
            ++a;
            ++b;
        }
        if (static_cast<unsigned char>(*a) >= static_cast<unsigned char>(*b))
            return false;
    }
    return true;
}
static_assert(sortedByName(), "the entity table must stay sorted for binary search");
static_assert(std::size(kEntities) == 253);

} // namespace

std::span<const HtmlEntity> htmlEntities() { return kEntities; }

std::optional<char16_t> lookupHtmlEntity(QStringView name)
{
    if (name.isEmpty() || name.size() > kLongestName)
        return std::nullopt;
    const auto *end = std::end(kEntities);
    const auto *it = std::lower_bound(std::begin(kEntities), end, name, [](const HtmlEntity &e, QStringView n) {
        return compareName(e.name, n) < 0;
    });
    if (it == end || compareName(it->name, name) != 0)
        return std::nullopt;
    return it->character;
}

} // namespace sentrel
