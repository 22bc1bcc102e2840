#include "diff/unifieddiff.h"
#include "diff/libgit2session.h"
#include "diff/worddiff.h"
#include <optional>

namespace sentrel {

namespace {

constexpr QStringView kBold = u"\x1b[1m";
constexpr QStringView kCyan = u"\x1b[36m";
constexpr QStringView kRed = u"\x1b[31m";
constexpr QStringView kGreen = u"\x1b[32m";
constexpr QStringView kReset = u"\x1b[m";

// "start" for a one-line range, "start,count" otherwise, as diff -u writes it.
QString range(int start, int count)
{
    if (count == 1)
        return QString::number(start);
    return QString::number(start) + u',' + QString::number(count);
}

class UnifiedWriter {
public:
    UnifiedWriter(QString &out, const UnifiedStyle &style) : out_(out), style_(style) {}

    void header(QStringView oldLabel, QStringView newLabel)
    {
        coloured(kBold, u"--- ", oldLabel);
        out_ += u'\n';
        coloured(kBold, u"+++ ", newLabel);
        out_ += u'\n';
    }

    void hunkHeader(const DiffHunk &hunk)
    {
        const QString ranges =
            range(hunk.oldStart, hunk.oldCount) + QStringLiteral(" +") + range(hunk.newStart, hunk.newCount);
        coloured(kCyan, u"@@ -", ranges, u" @@");
        out_ += u'\n';
    }

    void patchLine(const DiffLine &line)
    {
        switch (line.kind) {
        case DiffLine::Kind::Context:
            out_ += u' ';
            out_ += line.text;
            break;
        case DiffLine::Kind::Removed:
            coloured(kRed, u"-", line.text);
            break;
        case DiffLine::Kind::Added:
            coloured(kGreen, u"+", line.text);
            break;
        }
        patchEnd(line.end);
    }

    void wordLine(const DiffLine &line)
    {
        if (line.kind == DiffLine::Kind::Context)
            out_ += line.text;
        else
            markedLine(line);
        wordEnd(line.end);
    }

    // The two versions of a changed line merged into one: their common text
    // once, each difference as [-removed-]{+added+} where it lies.
    void wordPair(const DiffLine &older, const DiffLine &newer)
    {
        const QStringView oldText = older.text;
        const QStringView newText = newer.text;
        auto oldSpan = older.changedWords.begin();
        auto newSpan = newer.changedWords.begin();
        int oldAt = 0;
        int newAt = 0;
        // Between differences both lines hold the same text, so the common
        // stretch before the next span is measured on either side.
        while (oldSpan != older.changedWords.end() || newSpan != newer.changedWords.end()) {
            const int oldCommon =
                oldSpan != older.changedWords.end() ? oldSpan->start - oldAt : int(oldText.size()) - oldAt;
            const int newCommon =
                newSpan != newer.changedWords.end() ? newSpan->start - newAt : int(newText.size()) - newAt;
            const int common = std::min(oldCommon, newCommon);
            out_ += newText.sliced(newAt, common);
            oldAt += common;
            newAt += common;
            if (oldSpan != older.changedWords.end() && oldCommon == common) {
                removedWords(oldText.sliced(oldSpan->start, oldSpan->length));
                oldAt += oldSpan->length;
                ++oldSpan;
            }
            if (newSpan != newer.changedWords.end() && newCommon == common) {
                addedWords(newText.sliced(newSpan->start, newSpan->length));
                newAt += newSpan->length;
                ++newSpan;
            }
        }
        out_ += newText.sliced(newAt);
        wordEnd(newer.end);
    }

private:
    void coloured(QStringView colour, QStringView prefix, QStringView text, QStringView suffix = {})
    {
        if (style_.colour)
            out_ += colour;
        out_ += prefix;
        out_ += text;
        out_ += suffix;
        if (style_.colour)
            out_ += kReset;
    }

    void removedWords(QStringView text) { coloured(kRed, u"[-", text, u"-]"); }
    void addedWords(QStringView text) { coloured(kGreen, u"{+", text, u"+}"); }

    // A line with no partner: its marked words (all of it) shown as removed or added.
    void markedLine(const DiffLine &line)
    {
        int at = 0;
        for (const WordSpan &span : line.changedWords) {
            out_ += QStringView(line.text).sliced(at, span.start - at);
            const QStringView words = QStringView(line.text).sliced(span.start, span.length);
            if (line.kind == DiffLine::Kind::Removed)
                removedWords(words);
            else
                addedWords(words);
            at = span.start + span.length;
        }
        out_ += QStringView(line.text).sliced(at);
    }

    void patchEnd(DiffLine::End end)
    {
        switch (end) {
        case DiffLine::End::Lf:
            out_ += u'\n';
            break;
        case DiffLine::End::CrLf:
            out_ += u"\r\n";
            break;
        case DiffLine::End::None:
            out_ += u"\n\\ No newline at end of file\n";
            break;
        }
    }

    // Word mode shows text, not a patch: a missing final break is not remarked on.
    void wordEnd(DiffLine::End end) { out_ += end == DiffLine::End::CrLf ? u"\r\n" : u"\n"; }

    QString &out_;
    const UnifiedStyle &style_;
};

// The output's size, near enough to allocate it once: a diff of many
// megabytes would otherwise be copied each time the text outgrows its buffer.
qsizetype expectedSize(const TextDiff &diff, qsizetype labels, const UnifiedStyle &style)
{
    // Prefix and CR LF, plus a colour and its reset.
    const qsizetype perLine = style.colour ? 3 + 10 : 3;
    qsizetype size = labels + 64;
    for (const DiffHunk &hunk : diff.hunks) {
        size += 64;
        for (const DiffLine &line : hunk.lines)
            size += line.text.size() + perLine;
    }
    return size;
}

void writeWordHunk(UnifiedWriter &writer, const DiffHunk &hunk)
{
    const std::vector<ChangeRun> runs = changeRuns(hunk);
    auto run = runs.begin();
    std::size_t index = 0;
    while (index < hunk.lines.size()) {
        if (run == runs.end() || index < run->removedBegin) {
            writer.wordLine(hunk.lines[index++]);
            continue;
        }
        const std::size_t pairs = run->pairs();
        for (std::size_t pair = 0; pair < pairs; ++pair)
            writer.wordPair(hunk.lines[run->removedBegin + pair], hunk.lines[run->addedBegin + pair]);
        for (std::size_t left = run->removedBegin + pairs; left < run->removedEnd; ++left)
            writer.wordLine(hunk.lines[left]);
        for (std::size_t left = run->addedBegin + pairs; left < run->addedEnd; ++left)
            writer.wordLine(hunk.lines[left]);
        index = run->addedEnd;
        ++run;
    }
}

} // namespace

QString unifiedDiff(const TextDiff &diff, QStringView oldLabel, QStringView newLabel,
                    const UnifiedStyle &style)
{
    QString out;
    if (diff.empty())
        return out;
    out.reserve(expectedSize(diff, oldLabel.size() + newLabel.size(), style));
    UnifiedWriter writer(out, style);
    writer.header(oldLabel, newLabel);
    // Word mode needs the marked words; a diff made without them gets them here.
    std::optional<LibGit2Session> session;
    if (style.words && !diff.wordsMarked)
        session.emplace();
    for (const DiffHunk &hunk : diff.hunks) {
        writer.hunkHeader(hunk);
        if (!style.words) {
            for (const DiffLine &line : hunk.lines)
                writer.patchLine(line);
        } else if (diff.wordsMarked) {
            writeWordHunk(writer, hunk);
        } else {
            DiffHunk marked = hunk;
            markChangedWords(marked);
            writeWordHunk(writer, marked);
        }
    }
    return out;
}

} // namespace sentrel
