#pragma once
#include <QLocale>
#include <optional>

namespace sentrel {

// The Windows user-interface language identifier (a 16-bit LANGID, such as
// 1031 for German (Germany)) that language code tables are keyed by.
// Covers the widely used languages and their main regional forms; a region
// the table lacks takes its language's main form, and a script (Chinese,
// Serbian, ...) is matched first. Empty for an unknown language and "C".
std::optional<quint16> windowsLanguageId(const QLocale &locale);

// The language identifier of the user's user-interface language: on Windows
// the system's own, elsewhere mapped from the first UI language of the
// locale settings (LANGUAGE, LC_ALL, LC_MESSAGES, LANG).
std::optional<quint16> userUiLanguageId();

} // namespace sentrel
