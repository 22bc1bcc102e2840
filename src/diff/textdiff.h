#pragma once
#include "diff/libgit2session.h"
#include <QString>
#include <QStringView>
#include <vector>

// The line differences between two versions of a text, as hunks of changed
// lines with unchanged lines around them, the way `diff -u` groups them.
namespace sentrel {

// A stretch of a line's text, in UTF-16 code units, that the other version
// of the line does not have.
struct WordSpan {
    int start = 0;
    int length = 0;
    friend bool operator==(const WordSpan &, const WordSpan &) = default;
};

struct DiffLine {
    enum class Kind { Context, Added, Removed };
    // How the line ended in its text; None only for a last line without a break.
    enum class End { Lf, CrLf, None };
    Kind kind = Kind::Context;
    int oldLine = 0; // 1-based; 0 when the line is not in the older text
    int newLine = 0; // 1-based; 0 when the line is not in the newer text
    QString text;    // without its line break
    End end = End::Lf;
    // Filled only when word differences were asked for, on added and removed lines.
    std::vector<WordSpan> changedWords;
};

struct DiffHunk {
    // As in a "@@ -oldStart,oldCount +newStart,newCount @@" header: a count of
    // 0 makes the start the line after which the other side's lines belong.
    int oldStart = 0;
    int oldCount = 0;
    int newStart = 0;
    int newCount = 0;
    std::vector<DiffLine> lines;
};

struct TextDiff {
    std::vector<DiffHunk> hunks;
    int added = 0;
    int removed = 0;
    // Whether changedWords was filled (DiffOptions::words).
    bool wordsMarked = false;
    bool empty() const { return hunks.empty(); }
};

struct DiffOptions {
    int contextLines = 3;
    // Marks the changed words inside changed lines (DiffLine::changedWords).
    bool words = false;
};

struct LineCounts {
    int added = 0;
    int removed = 0;
    friend bool operator==(const LineCounts &, const LineCounts &) = default;
};

// Compares texts line by line. Lines end at LF; a CR before it belongs to the
// break, not to the text. Equal texts give an empty diff.
//
// Opening the diff library costs milliseconds, so whoever compares many
// pairs (a history list) keeps one TextDiffer for all of them; the free
// functions below open it for a single comparison.
class TextDiffer {
public:
    TextDiff diff(QStringView older, QStringView newer, const DiffOptions &options = {}) const;
    // The added and removed counts of diff(), without building the hunks.
    LineCounts countChangedLines(QStringView older, QStringView newer) const;

private:
    LibGit2Session session_;
};

TextDiff diffTexts(QStringView older, QStringView newer, const DiffOptions &options = {});
LineCounts countChangedLines(QStringView older, QStringView newer);

} // namespace sentrel
