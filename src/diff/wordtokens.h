#pragma once
#include <QStringView>
#include <vector>

namespace sentrel {

// Cuts a line into the units the word comparison matches: runs of letters
// and digits (with their combining marks), runs of blanks, and every other
// character alone. A surrogate pair stays one character. Returns the offset of
// each token's start followed by the line's length, so token i is
// [bounds[i], bounds[i + 1]); an empty line gives {0}.
std::vector<int> wordTokenBounds(QStringView line);

} // namespace sentrel
