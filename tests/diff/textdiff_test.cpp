#include "diff/textdiff.h"
#include "diff/unifieddiff.h"
#include "rebuildnewer.h"
#include "support/qtext.h"
#include <cstdint>
#include <gtest/gtest.h>
#include <map>
#include <ostream>

using namespace sentrel;
using namespace std::literals;

namespace {

// "line 1" LF ... "line n" LF, with the lines named in `changed` replaced.
QString numberedLines(int count, const std::map<int, QString> &changed = {})
{
    QString text;
    for (int line = 1; line <= count; ++line) {
        const auto replaced = changed.find(line);
        text += replaced != changed.end() ? replaced->second : QStringLiteral("line %1").arg(line);
        text += u'\n';
    }
    return text;
}

struct LineDiffCase {
    const char *name;
    QString older;
    QString newer;
    int contextLines;
    // What `diff -U<contextLines> --label old --label new` prints for the two texts.
    QString unified;
    friend void PrintTo(const LineDiffCase &c, std::ostream *os) { *os << c.name; }
};

class LineDiff : public ::testing::TestWithParam<LineDiffCase> {
protected:
    const TextDiffer differ_;
};

// Walks the hunks as a reader of the numbers would: each line's numbers
// continue from the hunk's starts, and the counts are what the hunk holds.
void expectConsistentNumbering(const TextDiff &diff)
{
    int added = 0;
    int removed = 0;
    for (const DiffHunk &hunk : diff.hunks) {
        // An empty side's start is the line before the change.
        int oldNext = hunk.oldCount == 0 ? hunk.oldStart + 1 : hunk.oldStart;
        int newNext = hunk.newCount == 0 ? hunk.newStart + 1 : hunk.newStart;
        int oldLines = 0;
        int newLines = 0;
        for (const DiffLine &line : hunk.lines) {
            const bool onOld = line.kind != DiffLine::Kind::Added;
            const bool onNew = line.kind != DiffLine::Kind::Removed;
            EXPECT_EQ(line.oldLine, onOld ? oldNext++ : 0) << line.text.toStdString();
            EXPECT_EQ(line.newLine, onNew ? newNext++ : 0) << line.text.toStdString();
            oldLines += onOld;
            newLines += onNew;
            added += line.kind == DiffLine::Kind::Added;
            removed += line.kind == DiffLine::Kind::Removed;
        }
        EXPECT_EQ(oldLines, hunk.oldCount);
        EXPECT_EQ(newLines, hunk.newCount);
    }
    EXPECT_EQ(diff.added, added);
    EXPECT_EQ(diff.removed, removed);
}

TEST_P(LineDiff, PrintsWhatDiffUPrintsWithConsistentNumbers)
{
    const LineDiffCase &c = GetParam();
    const TextDiff diff = differ_.diff(c.older, c.newer, DiffOptions{c.contextLines, false});
    EXPECT_EQ(unifiedDiff(diff, u"old", u"new"), c.unified);
    EXPECT_EQ(difftest::rebuildNewer(c.older, diff), c.newer);
    expectConsistentNumbering(diff);
    EXPECT_EQ(diff.empty(), c.unified.isEmpty());
    // The cheap count agrees with the full diff.
    EXPECT_EQ(differ_.countChangedLines(c.older, c.newer), (LineCounts{diff.added, diff.removed}));
}

const LineDiffCase lineDiffCases[] = {
    {"BothEmpty", QString(), QString(), 3, QString()},
    {"EqualTexts", QStringLiteral("a\nb\n"), QStringLiteral("a\nb\n"), 3, QString()},
    {"InsertAtStart", QStringLiteral("b\nc\nd\n"), QStringLiteral("a\nb\nc\nd\n"), 3,
     QStringLiteral("--- old\n+++ new\n@@ -1,3 +1,4 @@\n+a\n b\n c\n d\n")},
    {"InsertInMiddle", QStringLiteral("a\nb\nd\ne\n"), QStringLiteral("a\nb\nc\nd\ne\n"), 3,
     QStringLiteral("--- old\n+++ new\n@@ -1,4 +1,5 @@\n a\n b\n+c\n d\n e\n")},
    {"InsertAtEnd", QStringLiteral("a\nb\n"), QStringLiteral("a\nb\nc\n"), 3,
     QStringLiteral("--- old\n+++ new\n@@ -1,2 +1,3 @@\n a\n b\n+c\n")},
    {"DeleteInMiddle", QStringLiteral("a\nb\nc\nd\ne\n"), QStringLiteral("a\nb\nd\ne\n"), 3,
     QStringLiteral("--- old\n+++ new\n@@ -1,5 +1,4 @@\n a\n b\n-c\n d\n e\n")},
    {"ReplaceOneLine", QStringLiteral("a\nb\nc\n"), QStringLiteral("a\nB\nc\n"), 3,
     QStringLiteral("--- old\n+++ new\n@@ -1,3 +1,3 @@\n a\n-b\n+B\n c\n")},
    {"OldEmpty", QString(), QStringLiteral("a\nb\n"), 3,
     QStringLiteral("--- old\n+++ new\n@@ -0,0 +1,2 @@\n+a\n+b\n")},
    {"NewEmpty", QStringLiteral("a\nb\n"), QString(), 3,
     QStringLiteral("--- old\n+++ new\n@@ -1,2 +0,0 @@\n-a\n-b\n")},
    {"OldLacksFinalBreak", QStringLiteral("a\nb"), QStringLiteral("a\nb\n"), 3,
     QStringLiteral("--- old\n+++ new\n@@ -1,2 +1,2 @@\n a\n-b\n\\ No newline at end of file\n+b\n")},
    {"NewLacksFinalBreak", QStringLiteral("a\nb\n"), QStringLiteral("a\nb"), 3,
     QStringLiteral("--- old\n+++ new\n@@ -1,2 +1,2 @@\n a\n-b\n+b\n\\ No newline at end of file\n")},
    {"BothLackFinalBreakLastLineChanged", QStringLiteral("a\nb"), QStringLiteral("a\nc"), 3,
     QStringLiteral("--- old\n+++ new\n@@ -1,2 +1,2 @@\n a\n-b\n\\ No newline at end of file\n+c\n"
                    "\\ No newline at end of file\n")},
    {"UnbrokenLastLineAsContext", QStringLiteral("x\nb"), QStringLiteral("y\nb"), 3,
     QStringLiteral("--- old\n+++ new\n@@ -1,2 +1,2 @@\n-x\n+y\n b\n\\ No newline at end of file\n")},
    {"CrLfLines", QStringLiteral("a\r\nb\r\nc\r\n"), QStringLiteral("a\r\nB\r\nc\r\n"), 3,
     QStringLiteral("--- old\n+++ new\n@@ -1,3 +1,3 @@\n a\r\n-b\r\n+B\r\n c\r\n")},
    // Six unchanged lines between two changes: their contexts meet, one hunk.
    {"NearbyChangesShareAHunk", numberedLines(20),
     numberedLines(20, {{3, QStringLiteral("three")}, {10, QStringLiteral("ten")}}), 3,
     QStringLiteral(
         "--- old\n+++ new\n@@ -1,13 +1,13 @@\n line 1\n line 2\n-line 3\n+three\n line 4\n line 5\n"
         " line 6\n line 7\n line 8\n line 9\n-line 10\n+ten\n line 11\n line 12\n line 13\n")},
    // Seven: the contexts stay apart, two hunks.
    {"DistantChangesSplitHunks", numberedLines(20),
     numberedLines(20, {{3, QStringLiteral("three")}, {11, QStringLiteral("eleven")}}), 3,
     QStringLiteral("--- old\n+++ new\n@@ -1,6 +1,6 @@\n line 1\n line 2\n-line 3\n+three\n line 4\n line 5\n"
                    " line 6\n@@ -8,7 +8,7 @@\n line 8\n line 9\n line 10\n-line 11\n+eleven\n line 12\n"
                    " line 13\n line 14\n")},
    {"ZeroContext", QStringLiteral("a\nb\nc\nd\n"), QStringLiteral("a\nB\nc\nC2\nd\n"), 0,
     QStringLiteral("--- old\n+++ new\n@@ -2 +2 @@\n-b\n+B\n@@ -3,0 +4 @@\n+C2\n")},
    {"ZeroContextDeletion", QStringLiteral("a\nb\nc\n"), QStringLiteral("a\nc\n"), 0,
     QStringLiteral("--- old\n+++ new\n@@ -2 +1,0 @@\n-b\n")},
    {"OneLineOfContext", numberedLines(8), numberedLines(8, {{4, QStringLiteral("four")}}), 1,
     QStringLiteral("--- old\n+++ new\n@@ -3,3 +3,3 @@\n line 3\n-line 4\n+four\n line 5\n")},
};

INSTANTIATE_TEST_SUITE_P(TextDiff, LineDiff, ::testing::ValuesIn(lineDiffCases),
                         [](const auto &info) { return std::string(info.param.name); });

// Texts of few distinct lines, so that many alignments are possible, edited
// at random places; some lines end in CR LF and some texts lack the final
// break. The generator is seeded: every run checks the same pairs.
class EditedTexts {
public:
    explicit EditedTexts(uint64_t seed) : state_(seed * 0x9E3779B97F4A7C15ULL + 1) {}

    QString original()
    {
        QString text;
        const int lines = below(30);
        for (int line = 0; line < lines; ++line)
            text += someLine();
        return maybeUnbroken(text);
    }

    QString edited(const QString &original)
    {
        std::vector<SourceLine> lines = difftest::linesWithEnds(original);
        for (int edits = below(5); edits > 0; --edits) {
            const std::size_t at = std::size_t(below(int(lines.size()) + 1));
            switch (below(3)) {
            case 0:
                if (at < lines.size())
                    lines.erase(lines.begin() + std::ptrdiff_t(at));
                break;
            case 1:
                lines.insert(lines.begin() + std::ptrdiff_t(at), {pick(), DiffLine::End::Lf});
                break;
            default:
                if (at < lines.size())
                    lines[at].text += QStringLiteral(" x");
            }
        }
        QString text;
        for (std::size_t i = 0; i < lines.size(); ++i)
            difftest::appendLine(text, lines[i].text,
                                 lines[i].end == DiffLine::End::None ? DiffLine::End::Lf : lines[i].end);
        return maybeUnbroken(text);
    }

    int below(int bound)
    {
        state_ ^= state_ >> 12;
        state_ ^= state_ << 25;
        state_ ^= state_ >> 27;
        return int(((state_ * 0x2545F4914F6CDD1DULL) >> 33) % uint64_t(bound));
    }

private:
    using SourceLine = difftest::SourceLine;

    QString pick()
    {
        static const QString lines[] = {QStringLiteral("a"), QStringLiteral("b"), QString(),
                                        QStringLiteral("a b"), u16(u"\u00e9t\u00e9 \U0001F600")};
        return lines[below(5)];
    }
    QString someLine() { return pick() + (below(4) == 0 ? QStringLiteral("\r\n") : QStringLiteral("\n")); }
    QString maybeUnbroken(QString text)
    {
        if (below(3) == 0 && text.endsWith(u'\n'))
            text.chop(text.endsWith(QStringLiteral("\r\n")) ? 2 : 1);
        return text;
    }

    uint64_t state_;
};

TEST(DiffTexts, EditedTextsRebuildFromTheDiffWithWordsInsideTheirLines)
{
    const TextDiffer differ;
    for (uint64_t seed = 0; seed < 300; ++seed) {
        SCOPED_TRACE(seed);
        EditedTexts texts(seed);
        const QString older = texts.original();
        const QString newer = texts.edited(older);
        const TextDiff diff = differ.diff(older, newer, DiffOptions{texts.below(4), true});
        EXPECT_EQ(difftest::rebuildNewer(older, diff), newer);
        expectConsistentNumbering(diff);
        EXPECT_EQ(diff.empty(), older == newer);
        EXPECT_EQ(differ.countChangedLines(older, newer), (LineCounts{diff.added, diff.removed}));
        for (const DiffHunk &hunk : diff.hunks) {
            for (const DiffLine &line : hunk.lines) {
                int after = 0;
                for (const WordSpan &span : line.changedWords) {
                    // Ordered, apart, non-empty and inside the line: safe to slice.
                    EXPECT_NE(line.kind, DiffLine::Kind::Context);
                    EXPECT_GE(span.start, after);
                    EXPECT_GT(span.length, 0);
                    EXPECT_LE(span.start + span.length, line.text.size());
                    after = span.start + span.length + 1;
                }
            }
        }
    }
}

TEST(DiffTexts, KeepsTheBreakOutOfTheLineText)
{
    const TextDiff diff = diffTexts(u"same\r\nold\r\nlast", u"same\r\nnew\r\nlast\n");
    ASSERT_EQ(diff.hunks.size(), 1u);
    const std::vector<DiffLine> &lines = diff.hunks[0].lines;
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0].text, QStringLiteral("same"));
    EXPECT_EQ(lines[0].end, DiffLine::End::CrLf);
    EXPECT_EQ(lines[1].text, QStringLiteral("old"));
    EXPECT_EQ(lines[2].kind, DiffLine::Kind::Removed);
    EXPECT_EQ(lines[2].text, QStringLiteral("last"));
    EXPECT_EQ(lines[2].end, DiffLine::End::None);
    EXPECT_EQ(lines[4].kind, DiffLine::Kind::Added);
    EXPECT_EQ(lines[4].end, DiffLine::End::Lf);
    // A CR that is not before an LF is text, as diff and git treat it.
    const TextDiff loneCr = diffTexts(u"a\rb\n", u"a\rc\n");
    ASSERT_EQ(loneCr.hunks.size(), 1u);
    EXPECT_EQ(loneCr.hunks[0].lines[0].text, QStringLiteral("a\rb"));
}

TEST(DiffTexts, DecodesNonAsciiTextAndKeepsNulBytes)
{
    const QString older = u16(u"Größe\n\u6771\u4eac \U0001F600\nx\0y\n"sv);
    const QString newer = u16(u"Größe\n\u6771\u4eac \U0001F601\nx\0y\n"sv);
    const TextDiff diff = diffTexts(older, newer);
    ASSERT_EQ(diff.hunks.size(), 1u);
    ASSERT_EQ(diff.hunks[0].lines.size(), 4u);
    EXPECT_EQ(diff.hunks[0].lines[1].text, u16(u"\u6771\u4eac \U0001F600"));
    EXPECT_EQ(diff.hunks[0].lines[2].text, u16(u"\u6771\u4eac \U0001F601"));
    EXPECT_EQ(diff.hunks[0].lines[3].text, u16(u"x\0y"sv));
}

} // namespace
