#pragma once
#include <QString>
#include <exception>

namespace sentrel::html {

// The name of an error's kind as the parser's messages print it
// ("RegexLimitError", "RegexError", "Error", ...).
QString errorKindName(const std::exception &error);

} // namespace sentrel::html
