#pragma once
#include <QStringView>
#include <optional>
#include <span>

// The named character references HtmlDecode knows: the HTML 4.01 entity set
// plus "apos". Names are matched exactly, letter case included.
namespace sentrel {

struct HtmlEntity {
    const char *name; // ASCII
    char16_t character;
};

// Every known entity, sorted by name in code-unit order.
std::span<const HtmlEntity> htmlEntities();

// The character of the named reference `name` (without "&" and ";"), or
// nothing when the name is not a known one.
std::optional<char16_t> lookupHtmlEntity(QStringView name);

} // namespace sentrel
