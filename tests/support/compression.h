#pragma once
#include <string>
#include <string_view>

namespace sentrel::test {

// Compressed forms of a body, made with zlib, for Content-Encoding tests.
std::string gzipped(std::string_view data);
std::string zlibWrapped(std::string_view data);
std::string rawDeflated(std::string_view data);

} // namespace sentrel::test
