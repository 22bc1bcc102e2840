#include "diff/textdiff.h"
#include "diff/bufferdiff.h"
#include "diff/worddiff.h"
#include <QByteArray>

namespace sentrel {

namespace {

DiffLine::Kind kindOf(char origin)
{
    switch (origin) {
    case '+':
        return DiffLine::Kind::Added;
    case '-':
        return DiffLine::Kind::Removed;
    default:
        return DiffLine::Kind::Context;
    }
}

// Splits a line's bytes into its text and the break that ended it.
DiffLine lineFrom(const BufferLine &line)
{
    std::string_view bytes = line.content;
    DiffLine::End end = DiffLine::End::None;
    if (bytes.ends_with("\r\n")) {
        end = DiffLine::End::CrLf;
        bytes.remove_suffix(2);
    } else if (bytes.ends_with('\n')) {
        end = DiffLine::End::Lf;
        bytes.remove_suffix(1);
    }
    DiffLine result;
    result.kind = kindOf(line.origin);
    result.oldLine = line.oldLine;
    result.newLine = line.newLine;
    result.text = QString::fromUtf8(bytes.data(), qsizetype(bytes.size()));
    result.end = end;
    return result;
}

std::string_view viewOf(const QByteArray &bytes)
{
    return std::string_view(bytes.constData(), std::size_t(bytes.size()));
}

} // namespace

TextDiff TextDiffer::diff(QStringView older, QStringView newer, const DiffOptions &options) const
{
    const QByteArray olderBytes = older.toUtf8();
    const QByteArray newerBytes = newer.toUtf8();
    TextDiff diff;
    BufferDiffCallbacks callbacks;
    callbacks.contextLines = options.contextLines;
    callbacks.onHunk = [&diff](const BufferHunk &hunk) {
        DiffHunk &added =
            diff.hunks.emplace_back(DiffHunk{hunk.oldStart, hunk.oldCount, hunk.newStart, hunk.newCount, {}});
        // Context lines count on both sides, so this is an upper bound.
        added.lines.reserve(std::size_t(hunk.oldCount) + std::size_t(hunk.newCount));
    };
    callbacks.onLine = [&diff](const BufferLine &line) {
        DiffLine &added = diff.hunks.back().lines.emplace_back(lineFrom(line));
        diff.added += added.kind == DiffLine::Kind::Added;
        diff.removed += added.kind == DiffLine::Kind::Removed;
    };
    diffBuffers(viewOf(olderBytes), viewOf(newerBytes), callbacks);
    if (options.words) {
        for (DiffHunk &hunk : diff.hunks)
            markChangedWords(hunk);
        diff.wordsMarked = true;
    }
    return diff;
}

LineCounts TextDiffer::countChangedLines(QStringView older, QStringView newer) const
{
    const QByteArray olderBytes = older.toUtf8();
    const QByteArray newerBytes = newer.toUtf8();
    LineCounts counts;
    BufferDiffCallbacks callbacks;
    // Without context every hunk is one run of changes, and its counts are
    // exactly the lines removed and added there.
    callbacks.contextLines = 0;
    callbacks.onHunk = [&counts](const BufferHunk &hunk) {
        counts.removed += hunk.oldCount;
        counts.added += hunk.newCount;
    };
    diffBuffers(viewOf(olderBytes), viewOf(newerBytes), callbacks);
    return counts;
}

TextDiff diffTexts(QStringView older, QStringView newer, const DiffOptions &options)
{
    return TextDiffer().diff(older, newer, options);
}

LineCounts countChangedLines(QStringView older, QStringView newer)
{
    return TextDiffer().countChangedLines(older, newer);
}

} // namespace sentrel
