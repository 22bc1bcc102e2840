#include "diff/worddiff.h"
#include "diff/bufferdiff.h"
#include "diff/wordtokens.h"
#include <QByteArray>
#include <QString>

namespace sentrel {

namespace {

// A line as libgit2 can compare it: one token per line of a UTF-8 buffer.
struct TokenLines {
    std::vector<int> bounds;
    QByteArray bytes;
};

TokenLines tokenLinesOf(QStringView line)
{
    TokenLines tokens{wordTokenBounds(line), {}};
    QString joined;
    joined.reserve(line.size() + qsizetype(tokens.bounds.size()));
    for (std::size_t i = 0; i + 1 < tokens.bounds.size(); ++i) {
        joined += line.sliced(tokens.bounds[i], tokens.bounds[i + 1] - tokens.bounds[i]);
        joined += u'\n';
    }
    tokens.bytes = joined.toUtf8();
    return tokens;
}

// Token indices [begin, end) on each side that differ.
struct TokenChange {
    int oldBegin = 0;
    int oldEnd = 0;
    int newBegin = 0;
    int newEnd = 0;
};

// Adds tokens [first, first + count) as a span, joined to the previous span
// when the two touch.
void addSpan(std::vector<WordSpan> &spans, const std::vector<int> &bounds, int first, int count)
{
    if (count == 0)
        return;
    const int start = bounds[std::size_t(first)];
    const int end = bounds[std::size_t(first) + std::size_t(count)];
    if (!spans.empty() && spans.back().start + spans.back().length == start)
        spans.back().length = end - spans.back().start;
    else
        spans.push_back(WordSpan{start, end - start});
}

std::vector<WordSpan> wholeLine(const QString &text)
{
    if (text.isEmpty())
        return {};
    return {WordSpan{0, int(text.size())}};
}

std::string_view viewOf(const QByteArray &bytes)
{
    return std::string_view(bytes.constData(), std::size_t(bytes.size()));
}

} // namespace

std::vector<ChangeRun> changeRuns(const DiffHunk &hunk)
{
    std::vector<ChangeRun> runs;
    const std::size_t count = hunk.lines.size();
    auto runEnd = [&hunk, count](std::size_t from, DiffLine::Kind kind) {
        while (from < count && hunk.lines[from].kind == kind)
            ++from;
        return from;
    };
    std::size_t index = 0;
    while (index < count) {
        if (hunk.lines[index].kind == DiffLine::Kind::Context) {
            ++index;
            continue;
        }
        ChangeRun run;
        run.removedBegin = index;
        run.removedEnd = runEnd(index, DiffLine::Kind::Removed);
        run.addedBegin = run.removedEnd;
        run.addedEnd = runEnd(run.addedBegin, DiffLine::Kind::Added);
        runs.push_back(run);
        index = run.addedEnd;
    }
    return runs;
}

WordChanges diffWords(QStringView older, QStringView newer)
{
    const TokenLines olderTokens = tokenLinesOf(older);
    const TokenLines newerTokens = tokenLinesOf(newer);
    std::vector<TokenChange> changes;
    BufferDiffCallbacks callbacks;
    // Without context each hunk is exactly one run of changed tokens.
    callbacks.contextLines = 0;
    callbacks.onHunk = [&](const BufferHunk &hunk) {
        // An empty side's start is the token before the change.
        const int oldBegin = hunk.oldCount == 0 ? hunk.oldStart : hunk.oldStart - 1;
        const int newBegin = hunk.newCount == 0 ? hunk.newStart : hunk.newStart - 1;
        const TokenChange change{oldBegin, oldBegin + hunk.oldCount, newBegin, newBegin + hunk.newCount};
        // Changes apart by a single blank read as one change of several
        // words: "[-10 December-]{+11 January+}", not each word on its own.
        if (!changes.empty() && change.oldBegin - changes.back().oldEnd == 1 &&
            older[olderTokens.bounds[std::size_t(changes.back().oldEnd)]].isSpace()) {
            changes.back().oldEnd = change.oldEnd;
            changes.back().newEnd = change.newEnd;
            return;
        }
        changes.push_back(change);
    };
    diffBuffers(viewOf(olderTokens.bytes), viewOf(newerTokens.bytes), callbacks);
    WordChanges spans;
    for (const TokenChange &change : changes) {
        addSpan(spans.older, olderTokens.bounds, change.oldBegin, change.oldEnd - change.oldBegin);
        addSpan(spans.newer, newerTokens.bounds, change.newBegin, change.newEnd - change.newBegin);
    }
    return spans;
}

void markChangedWords(DiffHunk &hunk)
{
    for (const ChangeRun &run : changeRuns(hunk)) {
        const auto maxRun = std::size_t(kWordDiffMaxRunLines);
        const bool runTooLong =
            run.removedEnd - run.removedBegin > maxRun || run.addedEnd - run.addedBegin > maxRun;
        const std::size_t pairs = run.pairs();
        for (std::size_t pair = 0; pair < pairs; ++pair) {
            DiffLine &older = hunk.lines[run.removedBegin + pair];
            DiffLine &newer = hunk.lines[run.addedBegin + pair];
            if (runTooLong || older.text.size() > kWordDiffMaxLineLength ||
                newer.text.size() > kWordDiffMaxLineLength) {
                older.changedWords = wholeLine(older.text);
                newer.changedWords = wholeLine(newer.text);
                continue;
            }
            WordChanges changes = diffWords(older.text, newer.text);
            older.changedWords = std::move(changes.older);
            newer.changedWords = std::move(changes.newer);
        }
        for (std::size_t index = run.removedBegin + pairs; index < run.removedEnd; ++index)
            hunk.lines[index].changedWords = wholeLine(hunk.lines[index].text);
        for (std::size_t index = run.addedBegin + pairs; index < run.addedEnd; ++index)
            hunk.lines[index].changedWords = wholeLine(hunk.lines[index].text);
    }
}

} // namespace sentrel
