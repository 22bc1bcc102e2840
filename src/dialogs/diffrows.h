#pragma once
#include "diff/textdiff.h"
#include <QColor>
#include <QString>
#include <vector>

// A diff as the rows the diff view paints: a separator at the head of each
// hunk, then its lines with the numbers they have on either side.
namespace sentrel {

struct DiffRow {
    enum class Kind { Separator, Context, Added, Removed };
    Kind kind = Kind::Context;
    int oldLine = 0; // 0: not in the older text (and on separators)
    int newLine = 0; // 0: not in the newer text (and on separators)
    // The line without its break; tabs become single blanks so that the
    // columns of the word spans stay where they were. A separator holds its
    // hunk's "@@ -1,3 +1,4 @@" range.
    QString text;
    // The words that changed within a line whose other version is there as
    // well; none on a line added or removed whole.
    std::vector<WordSpan> changedWords;
};

std::vector<DiffRow> diffRows(const TextDiff &diff);

// How a row is painted: the line's background, and the stronger one behind
// the words that changed within it. The colours are fixed rather than taken
// from the palette, because green and red have to read as added and removed
// whatever the desktop theme.
struct DiffRowColours {
    QColor background;
    QColor changedWords;
    QColor text;
};
DiffRowColours diffRowColours(DiffRow::Kind kind);

// "+", "-" or " ", the mark in front of a line's text; "" for a separator.
QString diffRowMark(DiffRow::Kind kind);

} // namespace sentrel
