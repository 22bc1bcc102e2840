#pragma once
#include <QByteArray>

// A guard in front of the HTML5 tree construction of the browser strip
// method. Tree construction searches the stack of open elements for many
// start and end tags, so its time grows with the square of the nesting
// depth: a page of 50 000 unclosed <div>s takes seconds, 200 000 take
// minutes. Real pages nest a few dozen levels, rarely a few hundred.
namespace sentrel {

// Beyond this many open elements the tags that would nest deeper are dropped.
inline constexpr int MaxRenderedNesting = 4096;

// The UTF-8 page unchanged when no element in it opens deeper than
// `maxDepth` levels, as a linear scan of its tags estimates the stack of
// open elements (void elements, raw-text elements, comments, elements that
// the next sibling closes implicitly and end tags that close several
// elements are taken into account). Otherwise a copy in which every start
// tag beyond that depth and its end tag are removed (an empty comment takes
// the place of one where the text on its two sides would join into a tag or
// a character reference): their text stays and renders as part of the
// element at the limit, and the parse stays linear.
QByteArray limitNesting(QByteArray page, int maxDepth = MaxRenderedNesting);

} // namespace sentrel
