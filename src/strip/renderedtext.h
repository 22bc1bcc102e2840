#pragma once
#include <QString>

struct GumboInternalNode;

namespace sentrel {

// The text a browser's innerText gives for `element` under the default style
// sheet: hidden elements give nothing, blocks and <br> give line breaks, <p> a
// blank line around it, table cells are TAB-separated and rows on their own
// lines, <pre> and its kin keep their white space and all other white space
// collapses as CSS "white-space: normal" does. Line breaks are CR LF.
// The walk keeps its own stack, so any nesting depth is fine.
QString renderedText(const GumboInternalNode *element);

} // namespace sentrel
