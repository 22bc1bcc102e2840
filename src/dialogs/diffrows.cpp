#include "dialogs/diffrows.h"

namespace sentrel {

namespace {

DiffRow::Kind rowKind(DiffLine::Kind kind)
{
    switch (kind) {
    case DiffLine::Kind::Added:
        return DiffRow::Kind::Added;
    case DiffLine::Kind::Removed:
        return DiffRow::Kind::Removed;
    case DiffLine::Kind::Context:
        break;
    }
    return DiffRow::Kind::Context;
}

QString hunkRange(const DiffHunk &hunk)
{
    return QStringLiteral("@@ -%1,%2 +%3,%4 @@")
        .arg(hunk.oldStart)
        .arg(hunk.oldCount)
        .arg(hunk.newStart)
        .arg(hunk.newCount);
}

// A line added or removed whole comes marked from end to end; its own
// colour says as much, and the stronger one would only shout.
bool markedInPart(const DiffLine &line)
{
    const std::vector<WordSpan> &words = line.changedWords;
    return !(words.size() == 1 && words.front().start == 0 && words.front().length >= line.text.size());
}

} // namespace

std::vector<DiffRow> diffRows(const TextDiff &diff)
{
    std::vector<DiffRow> rows;
    std::size_t count = 0;
    for (const DiffHunk &hunk : diff.hunks)
        count += hunk.lines.size() + 1;
    rows.reserve(count);
    for (const DiffHunk &hunk : diff.hunks) {
        rows.push_back({DiffRow::Kind::Separator, 0, 0, hunkRange(hunk), {}});
        for (const DiffLine &line : hunk.lines) {
            QString text = line.text;
            text.replace(u'\t', u' ');
            rows.push_back({rowKind(line.kind), line.oldLine, line.newLine, std::move(text),
                            markedInPart(line) ? line.changedWords : std::vector<WordSpan>{}});
        }
    }
    return rows;
}

DiffRowColours diffRowColours(DiffRow::Kind kind)
{
    const QColor ink(0x1f, 0x23, 0x28);
    switch (kind) {
    case DiffRow::Kind::Added:
        return {QColor(0xe6, 0xff, 0xec), QColor(0x8c, 0xe9, 0xa4), ink};
    case DiffRow::Kind::Removed:
        return {QColor(0xff, 0xeb, 0xe9), QColor(0xff, 0xa8, 0xa3), ink};
    case DiffRow::Kind::Separator:
        return {QColor(0xdd, 0xe8, 0xf6), QColor(0xdd, 0xe8, 0xf6), QColor(0x4a, 0x5a, 0x70)};
    case DiffRow::Kind::Context:
        break;
    }
    return {QColor(Qt::white), QColor(Qt::white), ink};
}

QString diffRowMark(DiffRow::Kind kind)
{
    switch (kind) {
    case DiffRow::Kind::Added:
        return QStringLiteral("+");
    case DiffRow::Kind::Removed:
        return QStringLiteral("-");
    case DiffRow::Kind::Context:
        return QStringLiteral(" ");
    case DiffRow::Kind::Separator:
        break;
    }
    return {};
}

} // namespace sentrel
