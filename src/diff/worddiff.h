#pragma once
#include "diff/textdiff.h"
#include <QStringView>
#include <algorithm>
#include <vector>

namespace sentrel {

// Word comparison is skipped, and whole lines marked, for a run of removed
// or added lines longer than this or a line longer than that: the cost stays
// bounded whatever the pages hold.
inline constexpr int kWordDiffMaxRunLines = 2000;
inline constexpr int kWordDiffMaxLineLength = 10000;

// A run of removed lines and the run of added lines right after it, as
// indices [begin, end) into a hunk's lines; either run may be empty. The
// i-th removed line is paired with the i-th added line.
struct ChangeRun {
    std::size_t removedBegin = 0;
    std::size_t removedEnd = 0;
    std::size_t addedBegin = 0;
    std::size_t addedEnd = 0;
    std::size_t pairs() const { return std::min(removedEnd - removedBegin, addedEnd - addedBegin); }
};
std::vector<ChangeRun> changeRuns(const DiffHunk &hunk);

struct WordChanges {
    std::vector<WordSpan> older;
    std::vector<WordSpan> newer;
};

// The spans of each line that the other does not have. Needs a
// LibGit2Session alive in the caller.
WordChanges diffWords(QStringView older, QStringView newer);

// Fills changedWords of every added and removed line of the hunk: paired
// lines get their word differences, unpaired ones are marked whole. Needs a
// LibGit2Session alive in the caller.
void markChangedWords(DiffHunk &hunk);

} // namespace sentrel
