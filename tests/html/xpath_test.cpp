#include "html/extract.h"
#include "html/xpathsteps.h"
#include "htmltesting.h"
#include <gtest/gtest.h>

using namespace sentrel;
using namespace sentrel::testing;

namespace {

struct XPathCase {
    const char *name;
    const char16_t *page;
    const char16_t *expression;
    bool result;
    std::initializer_list<const char16_t *> nodes; // GetTagName of each selected node
    std::initializer_list<const char16_t *> values;
};

class XPathSelects : public ::testing::TestWithParam<XPathCase> {};

TEST_P(XPathSelects, NodesAndValues)
{
    const XPathCase &c = GetParam();
    const Selection s = select(QString::fromUtf16(c.page), QString::fromUtf16(c.expression));
    EXPECT_EQ(s.result, c.result);
    EXPECT_EQ(s.nodes, lines(c.nodes));
    EXPECT_EQ(s.values, lines(c.values));
}

constexpr const char16_t *Weather = u"<html><body><div id=\"TopBox\"><div><div class=\"draw "
                                    u"default\">Sunny</div><div class=\"draw\">x</div></div>"
                                    u"<div><div class=\"draw default\">second</div></div></div><div "
                                    u"id='TopBox'><div><div class=\"draw default\">"
                                    u"Quoted otherwise</div></div></div></body></html>";

const XPathCase XPathCases[] = {
    {"OptionsDialogExample",
     Weather,
     u"//*[@id=\"TopBox\"]/div[1]/div[@class=\"draw default\"]",
     true,
     {u"<div class=\"draw default\">"},
     {}},
    {"TextBeforeTheFirstSlashIsIgnored", u"<body><p>a</p></body>", u"html/body", true, {u"<body >"}, {}},
    {"FirstStepLooksAmongTheRootsChildren", u"<html><body>x</body></html>", u"html/body", false, {}, {}},
    {"DotSlashIsTheSameExpression", u"<html><body>x</body></html>", u"./html/body", true, {u"<body >"}, {}},
    {"AnyLevelInDocumentOrder",
     u"<p>1</p><div><p>2</p><span><p>3</p></span></div>",
     u"//p",
     true,
     {u"<p >", u"<p >", u"<p >"},
     {}},
    {"OneSlashOnlyUnderTheRoot", u"<p>1</p><div><p>2</p></div>", u"/p", true, {u"<p >"}, {}},
    {"NamesIgnoreCase", u"<div>x</div><DiV>y</DiV>", u"//DIV", true, {u"<div >", u"<DiV >"}, {}},
    {"ClosingTagsAreNotElements", u"<p>a</p>", u"//*", true, {u"<p >", u""}, {}},
    {"PositionAmongSameNamedSiblings",
     u"<div><sup>s</sup><p>1</p><p>2</p></div>",
     u"/div/*[2]",
     true,
     {u"<p >"},
     {}},
    {"PositionPerParent",
     u"<div><div>a</div><div>b</div></div><section><div>c</div><div>d</div></section>",
     u"//div[2]",
     true,
     {u"<div >", u"<div >"},
     {}},
    {"StarPositionCountsTextNodesTogether",
     u"<p>a<b>x</b>c<b>y</b></p>",
     u"/p/*[2]",
     true,
     {u"", u"<b >"},
     {}},
    {"PositionOutOfRange", u"<p>1</p><p>2</p>", u"/p[3]", false, {}, {}},
    {"PositionAfterThePredicateIsNotRead",
     u"<div id='a'>1</div><div id='a'>2</div>",
     u"/div[@id='a'][2]",
     true,
     {u"<div id='a'>", u"<div id='a'>"},
     {}},
    {"PositionBeforeThePredicate",
     u"<div id='a'>1</div><div id='a'>2</div>",
     u"/div[2][@id='a']",
     true,
     {u"<div id='a'>"},
     {}},
    {"NodeReachedTwiceIsListedTwice",
     u"<div><div><span>s</span></div></div>",
     u"//div//span",
     true,
     {u"<span >", u"<span >"},
     {}},
    {"ParentStepAtTheEndGivesTheParents",
     u"<ul><li>a</li><li>b</li></ul><ol><li>c</li></ol>",
     u"//ul/li/..",
     true,
     {u"<ul >", u"<ul >"},
     {}},
    {"ParentStepInTheMiddle", u"<div><p>a</p><span>s</span></div>", u"//p/../span", true, {u"<span >"}, {}},
    {"ParentStepPassesTheAnyLevelMarkOn",
     u"<div><p>a</p><i><b>x</b></i></div>",
     u"/div/p//../b",
     true,
     {u"<b >"},
     {}},
    {"ParentOfTheRootIsNothing", u"<p>a</p>", u"/..", false, {}, {}},
    {"DotSelectsNothing", u"<p>a</p>", u"/.", false, {}, {}},
    {"TextNodesAndTheirTexts",
     u"<p>a<b>b</b>c</p><p>d</p>",
     u"//p/text()",
     true,
     {u"", u"", u""},
     {u"a", u"c", u"d"}},
    {"CommentsAndTheirWholeTokens",
     u"<div><!-- x -->t<!--y--></div>",
     u"//comment()",
     true,
     {u"<!-- x -->t ", u"<!--y--> "},
     {u"<!-- x -->t", u"<!--y-->"}},
    {"AttributeValuesWithQuotes",
     u"<a href=\"u\">1</a><a>2</a><a href=v>3</a>",
     u"//a/@href",
     true,
     {u"<a href=\"u\">", u"<a >", u"<a href=v>"},
     {u"\"u\"", u"v"}},
    {"AttributeStepWithoutValuesIsFalse", u"<a>1</a><a>2</a>", u"//a/@href", false, {u"<a >", u"<a >"}, {}},
    {"AttributeStepAloneSelectsNothing", u"<p id=1>a</p>", u"/@id", false, {}, {}},
    {"AttributeStepAfterNothing", u"<p id=1>a</p>", u"//div/@id", false, {}, {}},
    {"AttributeNamesKeepTheirCase", u"<div id='x'>a</div>", u"//div[@ID='x']", false, {}, {}},
    {"QuotedValueNeedsTheSameQuotes",
     u"<p class=\"a\">1</p><p class='a'>2</p><p class=a>3</p>",
     u"//p[@class=\"a\"]",
     true,
     {u"<p class=\"a\">"},
     {}},
    {"UnquotedValueMatchesAsSubstring",
     u"<p class=\"draw default\">1</p><p class=withdraw>2</p><p class=x>3</p>",
     u"//p[@class=draw]",
     true,
     {u"<p class=\"draw default\">", u"<p class=withdraw>"},
     {}},
    {"ValueComparesWithCase", u"<p class=Draw>1</p>", u"//p[@class=draw]", false, {}, {}},
    {"BlankAroundTheEqualsSignMatchesNothing", u"<p class=a>1</p>", u"//p[@class = a]", false, {}, {}},
    {"BareWordPredicateMatchesNothing", u"<input disabled>", u"//input[@disabled]", false, {}, {}},
    {"OnlyTheFirstPairOfAPredicateCounts",
     u"<p a='1' b='2'>x</p>",
     u"//p[@a='1'and @b='3']",
     true,
     {u"<p a='1' b='2'>"},
     {}},
    {"PredicateValueIsNotTrimmed", u"<p a=1>x</p>", u"//p[@a=1 ]", false, {}, {}},
    {"EmptyStepsInARowAreOneAnyLevelMark", u"<div><p>x</p></div>", u"///p", true, {u"<p >"}, {}},
    {"TrailingSlashIsIgnored", u"<div><p>x</p></div>", u"/div/", true, {u"<div >"}, {}},
    {"StepsAreTrimmed", u"<div><p>x</p></div>", u"/ div / p ", true, {u"<p >"}, {}},
    {"UnclosedElementsNest", u"<ul><li>a<li>b</ul>", u"/ul/li", true, {u"<li >"}, {}},
};

INSTANTIATE_TEST_SUITE_P(XPath, XPathSelects, ::testing::ValuesIn(XPathCases),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(XPath, ErrorsNameTheFault)
{
    const struct {
        const char16_t *expression;
        const char16_t *message;
    } cases[] = {
        {u"", u"XPath is not correct or empty."},
        {u"div", u"XPath is not correct or empty."},
        {u"/", u"XPath is not correct or empty."},
        {u"//", u"XPath is not correct or empty."},
        {u"/ / ", u"XPath is not correct or empty."},
        {u"/[1]", u"XPath is not correct /[1]"},
        {u"/123", u"XPath is not correct /123"},
        {u"/p/ #x", u"XPath is not correct / #x"},
        {u"//div[@class]", u"Attribute not found: class"},
        {u"//div[@required]", u"Attribute not found: required"},
        {u"//div[last()]", u"Attribute not found: last()"},
        {u"//div[@DISABLED]", u"Attribute not found: DISABLED"}, // the predicate's words are lower case only
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(QString::fromUtf16(c.expression).toStdString());
        TDomTree tree;
        tree.RootNode()->RunParse(u"<div class=a>x</div>");
        TNodeList nodes;
        QStringList values;
        try {
            tree.RootNode()->FindXPath(QString::fromUtf16(c.expression), nodes, values);
            FAIL() << "no error";
        } catch (const Error &e) {
            EXPECT_EQ(e.message(), QString::fromUtf16(c.message));
        }
        EXPECT_TRUE(values.isEmpty());
    }
}

TEST(XPathValidation, RefusesWhatTheEvaluatorRejectsWhateverThePage)
{
    const struct {
        const char16_t *expression;
        const char16_t *message;
    } cases[] = {
        {u"div", u"XPath is not correct or empty."},
        {u"/p/ #x", u"XPath is not correct / #x"},
        {u"//div[@class]", u"Attribute not found: class"},
        // The evaluator reads this predicate only where a div has a span.
        {u"//div/span[@class]", u"Attribute not found: class"},
        {u"//a[@href=\"a/b\"]", u"Attribute not found: \""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(QString::fromUtf16(c.expression).toStdString());
        try {
            validateXPath(QString::fromUtf16(c.expression));
            FAIL() << "no error";
        } catch (const Error &e) {
            EXPECT_EQ(e.message(), QString::fromUtf16(c.message));
        }
    }
}

TEST(XPathValidation, AcceptsEveryExpressionThatSelects)
{
    for (const XPathCase &c : XPathCases) {
        SCOPED_TRACE(c.name);
        if (c.result) {
            EXPECT_NO_THROW(validateXPath(QString::fromUtf16(c.expression)));
        }
    }
}

TEST(XPath, SlashInAPredicateCutsTheStep)
{
    // "a[@href=\"a" selects the link, then the step "b\"]" has the predicate text "\"".
    TDomTree tree;
    tree.RootNode()->RunParse(u"<a href=\"a/b\">x</a>");
    TNodeList nodes;
    QStringList values;
    try {
        tree.RootNode()->FindXPath(u"//a[@href=\"a/b\"]", nodes, values);
        FAIL() << "no error";
    } catch (const Error &e) {
        EXPECT_EQ(e.message(), QStringLiteral("Attribute not found: \""));
    }
}

TEST(XPath, PredicateOnAStepTheWalkNeverReachesRaisesNothing)
{
    const Selection s = select(u"<p>a</p>", u"//div/span[@class]");
    EXPECT_FALSE(s.result);
    EXPECT_TRUE(s.nodes.isEmpty());
}

TEST(XPath, StepRecords)
{
    const struct {
        const char16_t *expression;
        std::vector<TPrmRec> steps;
    } cases[] = {
        {u"/div", {{QStringLiteral("div"), 0, QString(), false}}},
        {u"//div[2]", {{QStringLiteral("div"), 2, QString(), true}}},
        {u"/div[@class='x']", {{QStringLiteral("div"), 0, QStringLiteral("class='x'"), false}}},
        {u"/div[2][@id='a']", {{QStringLiteral("div"), 2, QStringLiteral("id='a'"), false}}},
        {u"/div[@id='a'][2]", {{QStringLiteral("div"), 0, QStringLiteral("id='a'"), false}}},
        {u"/p[99999999999]", {{QStringLiteral("p"), 0, QString(), false}}}, // not a 32-bit number
        {u"//..//a",
         {{QStringLiteral(".."), 0, QString(), false}, {QStringLiteral("a"), 0, QString(), true}}},
        {u"/a/@href",
         {{QStringLiteral("a"), 0, QString(), false}, {QStringLiteral("@href"), 0, QString(), false}}},
        {u"/*/text()",
         {{QStringLiteral("*"), 0, QString(), false}, {QStringLiteral("text()"), 0, QString(), false}}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(QString::fromUtf16(c.expression).toStdString());
        XPathStepReader reader;
        const TPrmRecList steps = reader.read(QString::fromUtf16(c.expression));
        ASSERT_EQ(steps.Count(), qsizetype(c.steps.size()));
        for (qsizetype i = 0; i < steps.Count(); ++i) {
            EXPECT_EQ(steps[i]->TagName, c.steps[std::size_t(i)].TagName);
            EXPECT_EQ(steps[i]->ind, c.steps[std::size_t(i)].ind);
            EXPECT_EQ(steps[i]->Attr, c.steps[std::size_t(i)].Attr);
            EXPECT_EQ(steps[i]->AnyLevel, c.steps[std::size_t(i)].AnyLevel);
        }
    }
}

TEST(XPath, FindNodeAndFindTagOfIndexAppendWithoutClearing)
{
    TDomTree tree;
    tree.RootNode()->RunParse(u"<div id=a>1</div><div id=ab>2</div><p><div id=a>3</div></p><input disabled>");
    TDomTreeNode *root = tree.RootNode();

    TNodeList list;
    EXPECT_TRUE(root->FindTagOfIndex(u"div", 0, false, list));
    EXPECT_EQ(list.Count(), 2);
    EXPECT_TRUE(root->FindTagOfIndex(u"div", 0, true, list));
    EXPECT_EQ(list.Count(), 5);

    // With a name, stored values that contain the predicate value.
    TNodeList contains;
    EXPECT_TRUE(root->FindNode(u"div", 0, u"id=a", true, contains));
    EXPECT_EQ(contains.Count(), 3);
    // Without a name, stored values equal to it, at any position.
    TNodeList equal;
    EXPECT_TRUE(root->FindNode(QString(), 0, u"id=a", true, equal));
    ASSERT_EQ(equal.Count(), 2);
    EXPECT_EQ(equal[0]->GetTextValue(0), QStringLiteral("1"));
    EXPECT_EQ(equal[1]->GetTextValue(0), QStringLiteral("3"));
    TNodeList none;
    // A bare-word predicate has an empty value, which never matches.
    EXPECT_FALSE(root->FindNode(u"input", 0, u"disabled", false, none));
    EXPECT_THROW(root->FindNode(u"div", 0, u"id", false, none), Error);
}

} // namespace
