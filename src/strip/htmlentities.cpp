#include "strip/htmlentities.h"
#include <array>
#include <cstdint>
#include <iterator>

namespace sentrel {

namespace {

constexpr HtmlEntity kEntities[] = {
#include "strip/htmlentitytable.inc"
};

// No known name is longer than this; longer names are rejected unseen.
constexpr qsizetype kLongestName = 8;

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
static_assert(sortedByName(), "the entity table is kept sorted by name");
static_assert(std::size(kEntities) == 253);

// Pages are full of references, so the names are looked up through an
// open-addressing hash table built at compile time (FNV-1a, linear probing).
constexpr std::size_t kSlots = 1024;
constexpr uint16_t kEmpty = 0xFFFF;

constexpr uint32_t hashStep(uint32_t h, char16_t c)
{
    return (h ^ c) * 16777619u;
}
constexpr uint32_t kHashSeed = 2166136261u;

constexpr std::array<uint16_t, kSlots> makeSlots()
{
    std::array<uint16_t, kSlots> slots{};
    for (auto &s : slots)
        s = kEmpty;
    for (std::size_t i = 0; i < std::size(kEntities); ++i) {
        uint32_t h = kHashSeed;
        for (const char *c = kEntities[i].name; *c != '\0'; ++c)
            h = hashStep(h, char16_t(*c));
        std::size_t slot = h % kSlots;
        while (slots[slot] != kEmpty)
            slot = (slot + 1) % kSlots;
        slots[slot] = uint16_t(i);
    }
    return slots;
}

constexpr std::array<uint16_t, kSlots> kSlotTable = makeSlots();

bool sameName(const char *ascii, QStringView name)
{
    qsizetype i = 0;
    for (; i < name.size(); ++i) {
        if (ascii[i] == '\0' || char16_t(static_cast<unsigned char>(ascii[i])) != name[i].unicode())
            return false;
    }
    return ascii[i] == '\0';
}

} // namespace

std::span<const HtmlEntity> htmlEntities()
{
    return kEntities;
}

std::optional<char16_t> lookupHtmlEntity(QStringView name)
{
    if (name.isEmpty() || name.size() > kLongestName)
        return std::nullopt;
    uint32_t h = kHashSeed;
    for (const QChar c : name) {
        if (c.unicode() >= 0x80)
            return std::nullopt; // every known name is ASCII
        h = hashStep(h, c.unicode());
    }
    for (std::size_t slot = h % kSlots; kSlotTable[slot] != kEmpty; slot = (slot + 1) % kSlots) {
        const HtmlEntity &e = kEntities[kSlotTable[slot]];
        if (sameName(e.name, name))
            return e.character;
    }
    return std::nullopt;
}

} // namespace sentrel
