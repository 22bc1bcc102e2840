#include "check/reduction.h"
#include "support/qtext.h"
#include "text/regex.h"
#include <chrono>
#include <gtest/gtest.h>

using namespace sentrel;
using namespace std::string_view_literals;

namespace {

struct LineRangeCase {
    const char *name;
    std::u16string_view start, stop, text, expected;
};

TEST(LineRange, KeepsTheLinesFromStartToStopCountedFromZero)
{
    const LineRangeCase cases[] = {
        {"start 1 drops only line 0", u"1", u"", u"a\nb\nc", u"b\r\nc\r\n"},
        {"start 2 stop 3 keep lines 2 and 3", u"2", u"3", u"a\nb\nc\nd\ne", u"c\r\nd\r\n"},
        {"both 0 keep all and make CR LF", u"0", u"0", u"a\rb\nc\r\n", u"a\r\nb\r\nc\r\n"},
        {"stop alone is an upper bound", u"", u"1", u"a\nb\nc", u"a\r\nb\r\n"},
        {"a negative stop drops every line", u"", u"-1", u"a\nb", u""},
        {"a start that is no number sets no lower bound", u"x", u"1", u"a\nb\nc", u"a\r\nb\r\n"},
        {"a negative start sets no lower bound", u"-3", u"", u"a\nb", u"a\r\nb\r\n"},
        {"blanks around a bound are allowed", u" 1 ", u"", u"a\nb", u"b\r\n"},
        {"a bound past the end keeps nothing", u"5", u"", u"a\nb", u""},
        {"start after stop keeps nothing", u"3", u"1", u"a\nb\nc\nd", u""},
        {"a bound beyond 32 bits is no number", u"4294967297", u"", u"a\nb", u"a\r\nb\r\n"},
        {"empty lines are counted", u"1", u"2", u"a\n\nc\nd", u"\r\nc\r\n"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        // Through the store's reading of the columns, as a check gets them.
        const CheckOptions options =
            optionsFromStored({QStringLiteral("NO"), u16(c.start), u16(c.stop), {}, {}, {}});
        EXPECT_EQ(reducePage(u16(c.text), options, StripMethod::Regex, {}), u16(c.expected));
    }
}

TEST(LineRange, RunsWhenEitherBoundIsSetEvenIfBothReadAsZero)
{
    // Line breaks change only through the steps; the exclusion step at the
    // end normalises them anyway, so look at the step itself.
    EXPECT_EQ(keepLineRange(u"a\rb", 0, 0), u"a\r\nb\r\n");
    EXPECT_EQ(lineBound(u""), 0);
    EXPECT_EQ(lineBound(u"+7"), 7);
    EXPECT_EQ(lineBound(u"7a"), 0);
}

struct KeywordCase {
    const char *name;
    std::u16string_view keyword, text, expected;
};

TEST(Keyword, KeepsLinesHoldingItWithOnlyAToZCaseless)
{
    const KeywordCase cases[] = {
        {"lower keyword keeps upper line", u"price", u"PRICE: 10\nother", u"PRICE: 10\r\n"},
        {"upper keyword keeps lower line", u"PRICE", u"the price\nx", u"the price\r\n"},
        {"accented capital does not match small", u"\u00C9", u"\u00E9\n\u00C9t\u00E9", u"\u00C9t\u00E9\r\n"},
        {"no line holds it", u"zzz", u"a\nb", u""},
        {"every line holding it stays in order", u"a", u"ba\nc\nAb", u"ba\r\nAb\r\n"},
        {"blank lines never hold a keyword", u"x", u"x\n\nx", u"x\r\nx\r\n"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(keepKeywordLines(u16(c.text), u16(c.keyword)), u16(c.expected));
    }
}

struct RegexCase {
    const char *name;
    std::u16string_view pattern, text, expected;
};

TEST(RegexStep, JoinsTheWholeMatchesOnePerLine)
{
    const RegexCase cases[] = {
        {"runs of digits", u"\\d+", u"a1 b22", u"1\r\n22\r\n"},
        {"capture groups play no part", u"(a)(\\d+)", u"a1 a22", u"a1\r\na22\r\n"},
        {"ignore case", u"abc", u"xABCx", u"ABC\r\n"},
        {"caret at every line start", u"^\\w", u"ab\ncd", u"a\r\nc\r\n"},
        {"dollar at every line end", u"\\w$", u"ab\r\ncd", u"b\r\nd\r\n"},
        {"line separator ends a line", u"^\\w", u"ab\u2028cd", u"a\r\nc\r\n"},
        {"next line ends a line", u"\\w$", u"ab\u0085cd", u"b\r\nd\r\n"},
        {"dot does not match a line break", u"a.b", u"a\nb axb", u"axb\r\n"},
        {"no match gives nothing", u"zz", u"abc", u""},
        {"\\s acts on ASCII only", u"a\\sb", u"a\u00A0b a b", u"a b\r\n"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(keepRegexMatches(u16(c.text), u16(c.pattern)), u16(c.expected));
    }
}

TEST(RegexStep, AfterTheFinalTrimTheDigitsExampleIsOneCrLfTwentyTwo)
{
    CheckOptions options;
    options.strip = false;
    options.regex = QStringLiteral("[0-9]+");
    EXPECT_EQ(reducePage(u"a1 b22", options, StripMethod::Regex, {}).trimmed(), u"1\r\n22");
}

TEST(RegexStep, AnInvalidPatternRaisesTheEnginesMessageWithItsOffset)
{
    try {
        keepRegexMatches(u"text", u"ab(c");
        FAIL() << "no error";
    } catch (const RegexError &e) {
        EXPECT_EQ(e.offset(), 4);
        EXPECT_TRUE(e.message().startsWith(u"Error in regular expression at offset 4: ")) << e.what();
    }
}

TEST(RegexStep, ARunawayPatternStopsWithAClearErrorInsteadOfHanging)
{
    // Nested quantifiers against a long run that cannot match: without a
    // limit this backtracks for longer than anyone would wait.
    const QString text = QString(40, u'a') + u'!';
    const auto started = std::chrono::steady_clock::now();
    try {
        keepRegexMatches(text, u"(a+)+$");
        FAIL() << "no error";
    } catch (const RegexRunawayError &e) {
        EXPECT_TRUE(e.message().startsWith(u"Error in regular expression: ")) << e.what();
        EXPECT_TRUE(e.message().contains(u"backtracks too much")) << e.what();
    }
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(20));
}

TEST(RegexStep, ThePatternCheckRefusesWhatTheStepWouldRefuseWithTheSameMessage)
{
    const struct {
        const char *name;
        std::u16string_view pattern;
        const char16_t *error; // null: usable
    } cases[] = {
        {"unclosed group", u"ab(c", u"Error in regular expression at offset 4: missing closing parenthesis"},
        {"nothing to repeat", u"*a",
         u"Error in regular expression at offset 0: quantifier does not follow a repeatable item"},
        {"unclosed class", u"[a-",
         u"Error in regular expression at offset 3: missing terminating ] for "
         u"character class"},
        {"a pattern that only backtracks too much on some pages", u"(a+)+$", nullptr},
        {"capture groups", u"(\\w+) (\\d+)", nullptr},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const QString pattern = u16(c.pattern);
        const auto messageOf = [](const auto &call) -> QString {
            try {
                call();
            } catch (const RegexError &e) {
                return e.message();
            }
            return {};
        };
        const QString refused = messageOf([&] { validateUserRegex(pattern); });
        EXPECT_EQ(refused, c.error ? QString::fromUtf16(c.error) : QString());
        EXPECT_EQ(messageOf([&] { keepRegexMatches(u"aaa 1", pattern); }), refused);
    }
}

struct ExclusionCase {
    const char *name;
    QStringList exclusions;
    std::u16string_view text, expected;
};

TEST(Exclusions, DropNonEmptyLinesHoldingAnEntryExactly)
{
    const ExclusionCase cases[] = {
        {"entry drops its line",
         {QStringLiteral("Visitor Number")},
         u"a\nVisitor Number: 1234\nb",
         u"a\r\nb\r\n"},
        {"letter case counts",
         {QStringLiteral("Visitor Number")},
         u"visitor number: 1234",
         u"visitor number: 1234\r\n"},
        {"blank lines are never dropped", {QStringLiteral(" ")}, u"a b\n\nc", u"\r\nc\r\n"},
        {"an empty entry occurs nowhere", {QString()}, u"a\nb", u"a\r\nb\r\n"},
        {"any entry of the list drops", {QStringLiteral("x"), QStringLiteral("y")}, u"ax\nby\nc", u"c\r\n"},
        {"an empty list only makes CR LF", {}, u"a\rb\n", u"a\r\nb\r\n"},
        {"text ends at its first NUL", {}, u"a\0b"sv, u"a\r\n"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(dropExcludedLines(u16(c.text), c.exclusions), u16(c.expected));
    }
}

// The steps run in a fixed order, each on the output of the one before.
class ReductionOrder : public testing::Test {
protected:
    CheckOptions options;
    QString reduce(std::u16string_view page, StripMethod method = StripMethod::StringBuilder,
                   const QStringList &exclusions = {})
    {
        return reducePage(u16(page), options, method, exclusions);
    }
};

TEST_F(ReductionOrder, OnlyExactlyNoTurnsStrippingOff)
{
    // The STRIP column as stored: exactly "NO", another case, and NULL.
    options = optionsFromStored({QStringLiteral("NO"), {}, {}, {}, {}, {}});
    EXPECT_EQ(reduce(u"<b>x</b>"), u"<b>x</b>\r\n");
    options = optionsFromStored({QStringLiteral("no"), {}, {}, {}, {}, {}});
    EXPECT_EQ(reduce(u"<b>x</b>"), u"x\r\n");
    options = optionsFromStored({});
    EXPECT_EQ(reduce(u"<b>x</b>"), u"x\r\n");
}

TEST_F(ReductionOrder, TheLineRangeCountsTheLinesOfTheStrippedText)
{
    options.lineRange = true;
    options.lineStart = 1;
    EXPECT_EQ(reduce(u"<p>one</p>\n<p>two</p>"), u"two\r\n");
}

TEST_F(ReductionOrder, TheKeywordFiltersBeforeTheRegularExpression)
{
    options.keyword = QStringLiteral("price");
    options.regex = QStringLiteral("\\d+");
    EXPECT_EQ(reduce(u"Price 10\nStock 5\nprice 7"), u"10\r\n7\r\n");
}

TEST_F(ReductionOrder, XPathRunsOnStrippedTextUnlessStripIsNo)
{
    options.xpath = QStringLiteral("//p");
    EXPECT_EQ(reduce(u"<html><body><p>a</p></body></html>"), u"") << "no tags are left after stripping";
    options.strip = false;
    EXPECT_EQ(reduce(u"<html><body><p>a</p><p>b</p></body></html>"), u"<p > a\r\n<p > b\r\n");
}

TEST_F(ReductionOrder, TheRegularExpressionSeesTheXPathSelection)
{
    options.strip = false;
    options.xpath = QStringLiteral("//p");
    options.regex = QStringLiteral("\\d+");
    EXPECT_EQ(reduce(u"<html><body><p>a1</p><div>99</div><p>b2</p></body></html>"), u"1\r\n2\r\n");
}

TEST_F(ReductionOrder, ExclusionsComeLast)
{
    options.regex = QStringLiteral("\\w+ \\d");
    EXPECT_EQ(reduce(u"hits 1\nlikes 2", StripMethod::StringBuilder, {QStringLiteral("hits")}),
              u"likes 2\r\n");
}

} // namespace
