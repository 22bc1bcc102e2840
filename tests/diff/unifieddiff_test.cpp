#include "diff/textdiff.h"
#include "diff/unifieddiff.h"
#include <gtest/gtest.h>
#include <ostream>

using namespace sentrel;

namespace {

// The fixture the word-mode expectations were taken from with
// `git diff --no-index --word-diff=plain [--color]`.
const QString older = QStringLiteral("one\ntwo three four\nfive\nsix\n");
const QString newer = QStringLiteral("one\ntwo 3 four\nfive\nsix\nseven");

struct StyleCase {
    const char *name;
    UnifiedStyle style;
    QString expected;
    friend void PrintTo(const StyleCase &c, std::ostream *os) { *os << c.name; }
};

class UnifiedStyles : public ::testing::TestWithParam<StyleCase> {};

TEST_P(UnifiedStyles, WritesTheNotationOfGit)
{
    const StyleCase &c = GetParam();
    EXPECT_EQ(unifiedDiff(diffTexts(older, newer, DiffOptions{3, true}), u"a", u"b", c.style), c.expected);
    // Word mode finds the words itself in a diff made without them.
    EXPECT_EQ(unifiedDiff(diffTexts(older, newer), u"a", u"b", c.style), c.expected);
    EXPECT_EQ(unifiedDiff(diffTexts(older, older), u"a", u"b", c.style), QString());
}

const StyleCase styleCases[] = {
    {"Plain",
     {false, false},
     QStringLiteral("--- a\n+++ b\n@@ -1,4 +1,5 @@\n one\n-two three four\n+two 3 four\n five\n six\n+seven\n"
                    "\\ No newline at end of file\n")},
    {"Colour",
     {true, false},
     QStringLiteral(
         "\x1b[1m--- a\x1b[m\n\x1b[1m+++ b\x1b[m\n\x1b[36m@@ -1,4 +1,5 @@\x1b[m\n one\n"
         "\x1b[31m-two three four\x1b[m\n\x1b[32m+two 3 four\x1b[m\n five\n six\n\x1b[32m+seven\x1b[m\n"
         "\\ No newline at end of file\n")},
    {"Words",
     {false, true},
     QStringLiteral("--- a\n+++ b\n@@ -1,4 +1,5 @@\none\ntwo [-three-]{+3+} four\nfive\nsix\n{+seven+}\n")},
    {"ColouredWords",
     {true, true},
     QStringLiteral(
         "\x1b[1m--- a\x1b[m\n\x1b[1m+++ b\x1b[m\n\x1b[36m@@ -1,4 +1,5 @@\x1b[m\none\n"
         "two \x1b[31m[-three-]\x1b[m\x1b[32m{+3+}\x1b[m four\nfive\nsix\n\x1b[32m{+seven+}\x1b[m\n")},
};

INSTANTIATE_TEST_SUITE_P(Unified, UnifiedStyles, ::testing::ValuesIn(styleCases),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(UnifiedWords, ShowsOneLinePerPairThenTheUnpairedLines)
{
    const TextDiff diff =
        diffTexts(u"keep\nred car\nold note\ngone\nend\n", u"keep\nred fast car\nnew note\nend\n");
    EXPECT_EQ(unifiedDiff(diff, u"a", u"b", UnifiedStyle{false, true}),
              QStringLiteral(
                  "--- a\n+++ b\n@@ -1,5 +1,4 @@\nkeep\nred {+fast +}car\n[-old-]{+new+} note\n[-gone-]\n"
                  "end\n"));
}

} // namespace
