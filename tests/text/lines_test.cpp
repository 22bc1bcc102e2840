#include "support/qtext.h"
#include "text/lines.h"
#include <gtest/gtest.h>

using namespace sentrel;
using namespace std::literals;

namespace {

struct SplitCase {
    const char *name;
    QString text;
    QStringList lines;
};

class SplitLines : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitLines, CutsAtEveryBreakKindAndEndsAtNul)
{
    const SplitCase &c = GetParam();
    EXPECT_EQ(splitLines(c.text), c.lines);
    // The one-pass form gives exactly what splitting then joining gives.
    EXPECT_EQ(normalizeLines(c.text), joinLines(c.lines));
}

const SplitCase splitCases[] = {
    {"EmptyTextHasNoLines", QString(), {}},
    {"FinalBreakOpensNoEmptyLine", QStringLiteral("a\r\n"), {QStringLiteral("a")}},
    {"NoFinalBreakStillOneLine", QStringLiteral("a"), {QStringLiteral("a")}},
    {"CrLfLoneCrLoneLf",
     QStringLiteral("a\r\nb\rc\nd"),
     {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("d")}},
    {"LfCrIsTwoBreaks", QStringLiteral("a\n\rb"), {QStringLiteral("a"), QString(), QStringLiteral("b")}},
    {"EmptyLinesKept", QStringLiteral("\n\na"), {QString(), QString(), QStringLiteral("a")}},
    {"OnlyABreakIsOneEmptyLine", QStringLiteral("\r\n"), {QString()}},
    {"TextEndsAtNul", u16(u"ab\0c\nd"sv), {QStringLiteral("ab")}},
    {"NulFirstGivesNothing", u16(u"\0abc"sv), {}},
    {"OtherControlsAreNotBreaks", QStringLiteral("a\vb\fc"), {QStringLiteral("a\vb\fc")}},
};

INSTANTIATE_TEST_SUITE_P(Lines, SplitLines, ::testing::ValuesIn(splitCases),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(JoinLines, EveryLineEndsInCrLfAndNoLinesGiveEmpty)
{
    EXPECT_EQ(joinLines({}), QString());
    EXPECT_EQ(joinLines({QString()}), QStringLiteral("\r\n"));
    EXPECT_EQ(joinLines({QStringLiteral("a"), QStringLiteral("b")}), QStringLiteral("a\r\nb\r\n"));
}

TEST(Trim, RemovesEveryCodeUpToSpaceOnBothSidesOnly)
{
    EXPECT_EQ(trim(u16(u"\0\x01\t \r\na b\x1f\x20"sv)), QStringLiteral("a b"));
    // No-break space and other characters above U+0020 are text.
    EXPECT_EQ(trim(u16(u"\u00a0x\u00a0")), u16(u"\u00a0x\u00a0"));
    EXPECT_EQ(trim(u"   "), QString());
}

TEST(OneLineText, JoinsEveryKindOfBreakWithColonAndDropsBlankParts)
{
    EXPECT_EQ(oneLineText(u"Socket Error # 111\r\nConnection refused"),
              QStringLiteral("Socket Error # 111: Connection refused"));
    EXPECT_EQ(oneLineText(u"a\rb\n\n  c  \r\n"), QStringLiteral("a: b: c"));
    EXPECT_EQ(oneLineText(u"404 Not Found"), QStringLiteral("404 Not Found"));
    EXPECT_EQ(oneLineText(u"\r\n \r\n"), QString());
}

TEST(AsciiCaseless, FoldsOnlyLatinLetters)
{
    EXPECT_TRUE(equalsAsciiCaseless(u"</HTML>", u"</html>"));
    EXPECT_FALSE(equalsAsciiCaseless(u"\u017ftyle", u"style")); // long s is not s here
    EXPECT_EQ(indexOfAsciiCaseless(u"ab</HtMl>x</html>", u"</html>"), 2);
    EXPECT_EQ(indexOfAsciiCaseless(u"ab</HtMl>x</html>", u"</html>", 3), 10);
    EXPECT_EQ(indexOfAsciiCaseless(u"abc", u"abcd"), -1);
}

} // namespace
