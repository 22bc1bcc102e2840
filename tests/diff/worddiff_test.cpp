#include "diff/libgit2session.h"
#include "diff/textdiff.h"
#include "diff/worddiff.h"
#include "diff/wordtokens.h"
#include "support/qtext.h"
#include <gtest/gtest.h>
#include <ostream>

using namespace sentrel;

namespace {

struct TokenCase {
    const char *name;
    const char16_t *line;
    std::vector<int> bounds;
    friend void PrintTo(const TokenCase &c, std::ostream *os) { *os << c.name; }
};

class WordTokens : public ::testing::TestWithParam<TokenCase> {};

TEST_P(WordTokens, CutsWordsBlanksAndSingleOtherCharacters)
{
    EXPECT_EQ(wordTokenBounds(u16(GetParam().line)), GetParam().bounds);
}

const TokenCase tokenCases[] = {
    {"EmptyLine", u"", {0}},
    {"WordsBlanksAndPunctuation", u"ab12  x,,y", {0, 4, 6, 7, 8, 9, 10}},
    {"LettersOfAnyScriptFormOneWord", u"Größe\u6771\u4eac", {0, 7}},
    {"CombiningMarkStaysInItsWord", u"cafe\u0301 x", {0, 5, 6, 7}},
    {"SurrogatePairIsOneCharacter", u"a\U0001F600\U0001F600", {0, 1, 3, 5}},
};

INSTANTIATE_TEST_SUITE_P(Words, WordTokens, ::testing::ValuesIn(tokenCases),
                         [](const auto &info) { return std::string(info.param.name); });

struct WordCase {
    const char *name;
    const char16_t *older;
    const char16_t *newer;
    std::vector<WordSpan> olderSpans;
    std::vector<WordSpan> newerSpans;
    friend void PrintTo(const WordCase &c, std::ostream *os) { *os << c.name; }
};

class DiffWords : public ::testing::TestWithParam<WordCase> {};

TEST_P(DiffWords, MarksWhatTheOtherLineLacksInUtf16Units)
{
    const WordCase &c = GetParam();
    LibGit2Session session;
    const WordChanges changes = diffWords(u16(c.older), u16(c.newer));
    EXPECT_EQ(changes.older, c.olderSpans);
    EXPECT_EQ(changes.newer, c.newerSpans);
}

const WordCase wordCases[] = {
    {"OneWordChanged", u"two three four", u"two 3 four", {{4, 5}}, {{4, 1}}},
    {"WordAddedAtEnd", u"price 10", u"price 10 EUR", {}, {{8, 4}}},
    {"WordRemovedAtStart", u"very old text", u"old text", {{0, 5}}, {}},
    {"SameText", u"same text", u"same text", {}, {}},
    {"EmptyToText", u"", u"new", {}, {{0, 3}}},
    {"TouchingChangesJoinIntoOneSpan", u"a-b c", u"x+y c", {{0, 3}}, {{0, 3}}},
    {"ChangesApartByOneBlankJoin",
     u"Updated 10 December 2026",
     u"Updated 11 January 2027",
     {{8, 16}},
     {{8, 15}}},
    {"ChangesApartByAWordStayApart", u"a b c", u"x b z", {{0, 1}, {4, 1}}, {{0, 1}, {4, 1}}},
    {"ChangesApartByPunctuationStayApart", u"1,2", u"3,4", {{0, 1}, {2, 1}}, {{0, 1}, {2, 1}}},
    // UTF-8 inside, UTF-16 outside: the offsets must not count bytes.
    {"NonAsciiBeforeTheChange", u"Größe: 10 €", u"Größe: 12 €", {{7, 2}}, {{7, 2}}},
    {"SurrogatePairsCountTwoUnits",
     u"\U0001F600 ok \U0001F600",
     u"\U0001F600 no \U0001F600",
     {{3, 2}},
     {{3, 2}}},
    {"DifferentEmojiDiffer", u"a \U0001F600", u"a \U0001F601", {{2, 2}}, {{2, 2}}},
};

INSTANTIATE_TEST_SUITE_P(Words, DiffWords, ::testing::ValuesIn(wordCases),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(MarkChangedWords, PairsRemovedWithAddedLinesInOrderAndMarksTheRestWhole)
{
    const TextDiff diff = diffTexts(u"keep\nthe cat sat\non the mat\nend\n",
                                    u"keep\nthe dog sat\non the rug\nnew line\nend\n", DiffOptions{3, true});
    ASSERT_EQ(diff.hunks.size(), 1u);
    const std::vector<DiffLine> &lines = diff.hunks[0].lines;
    ASSERT_EQ(lines.size(), 7u);
    EXPECT_TRUE(diff.wordsMarked);
    EXPECT_EQ(lines[1].changedWords, (std::vector<WordSpan>{{4, 3}})); // -the cat sat
    EXPECT_EQ(lines[2].changedWords, (std::vector<WordSpan>{{7, 3}})); // -on the mat
    EXPECT_EQ(lines[3].changedWords, (std::vector<WordSpan>{{4, 3}})); // +the dog sat
    EXPECT_EQ(lines[4].changedWords, (std::vector<WordSpan>{{7, 3}})); // +on the rug
    EXPECT_EQ(lines[5].changedWords, (std::vector<WordSpan>{{0, 8}})); // +new line, unpaired
    EXPECT_TRUE(lines[0].changedWords.empty());
    EXPECT_TRUE(lines[6].changedWords.empty());
}

// `count` distinct lines of exactly `length` characters, each ending in `lastWord`.
QString block(int count, int length, QStringView lastWord)
{
    QString text;
    for (int line = 0; line < count; ++line) {
        const QString ending = QStringLiteral(" %1 %2").arg(line).arg(lastWord);
        text += QString(length - ending.size(), u'x') + ending + u'\n';
    }
    return text;
}

struct BoundCase {
    const char *name;
    int lines;
    int lineLength;
    bool wholeLines;
    friend void PrintTo(const BoundCase &c, std::ostream *os) { *os << c.name; }
};

class WordDiffBounds : public ::testing::TestWithParam<BoundCase> {};

TEST_P(WordDiffBounds, MarkWholeLinesBeyondTheLimits)
{
    const BoundCase &c = GetParam();
    const TextDiff diff = diffTexts(block(c.lines, c.lineLength, u"old"),
                                    block(c.lines, c.lineLength, u"new"), DiffOptions{0, true});
    ASSERT_EQ(diff.removed, c.lines);
    ASSERT_EQ(diff.added, c.lines);
    for (const DiffHunk &hunk : diff.hunks) {
        for (const DiffLine &line : hunk.lines) {
            const int length = int(line.text.size());
            const std::vector<WordSpan> expected =
                c.wholeLines ? std::vector<WordSpan>{{0, length}} : std::vector<WordSpan>{{length - 3, 3}};
            ASSERT_EQ(line.changedWords, expected) << "line " << line.oldLine << "/" << line.newLine;
        }
    }
}

const BoundCase boundCases[] = {
    {"RunAtTheLineLimit", kWordDiffMaxRunLines, 20, false},
    {"RunBeyondTheLineLimit", kWordDiffMaxRunLines + 1, 20, true},
    {"LineAtTheLengthLimit", 2, kWordDiffMaxLineLength, false},
    {"LineBeyondTheLengthLimit", 2, kWordDiffMaxLineLength + 1, true},
};

INSTANTIATE_TEST_SUITE_P(Words, WordDiffBounds, ::testing::ValuesIn(boundCases),
                         [](const auto &info) { return std::string(info.param.name); });

} // namespace
