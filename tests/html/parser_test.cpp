#include "html/attributes.h"
#include "html/parser.h"
#include "htmltesting.h"
#include <gtest/gtest.h>

using namespace sentrel;
using namespace sentrel::testing;

namespace {

struct TreeCase {
    const char *name;
    const char16_t *page;
    std::initializer_list<const char16_t *> tree;
};

class ParsedTree : public ::testing::TestWithParam<TreeCase> {};

TEST_P(ParsedTree, Shape)
{
    const TreeCase &c = GetParam();
    EXPECT_EQ(treeOf(QString::fromUtf16(c.page)), lines(c.tree));
}

// The shapes the rest of the system relies on: how unclosed elements nest,
// what raw-text elements and comments hold, what is dropped.
const TreeCase TreeCases[] = {
    {"TextBeforeTheFirstTagIsDropped",
     u"Hello <b>world</b>!",
     {u"root Tag=\"Root\"", u"  element Tag=\"b\"", u"    text Text=\"world\"", u"    closing Tag=\"/b\"",
      u"  text Text=\"!\""}},
    {"VoidElementsNeverBecomeCurrent",
     u"<p>a<br>b</p>",
     {u"root Tag=\"Root\"", u"  element Tag=\"p\"", u"    text Text=\"a\"", u"    element Tag=\"br\"",
      u"    text Text=\"b\"", u"    closing Tag=\"/p\""}},
    {"EndTagInOtherCaseClosesNothing",
     u"<DIV>x</div>y",
     {u"root Tag=\"Root\"", u"  element Tag=\"DIV\"", u"    text Text=\"x\"", u"    closing Tag=\"/div\"",
      u"    text Text=\"y\""}},
    {"UnclosedElementsTakeLaterContent",
     u"<ul><li>a<li>b</ul>",
     {u"root Tag=\"Root\"", u"  element Tag=\"ul\"", u"    element Tag=\"li\"", u"      text Text=\"a\"",
      u"      element Tag=\"li\"", u"        text Text=\"b\"", u"        closing Tag=\"/ul\""}},
    {"EndTagAtTopLevelLeavesRootCurrent",
     u"</p>x<p>y",
     {u"root Tag=\"Root\"", u"  closing Tag=\"/p\"", u"  text Text=\"x\"", u"  element Tag=\"p\"",
      u"    text Text=\"y\""}},
    {"ScriptContentIsOneText",
     u"<script>if (a<b) go();</script>",
     {u"root Tag=\"Root\"", u"  element Tag=\"script\"", u"    text Text=\"if (a<b) go();\"",
      u"    closing Tag=\"/script\""}},
    {"ScriptAttributesAreRead",
     u"<script type=\"x\" async>v</SCRIPT>",
     {u"root Tag=\"Root\"", u"  element Tag=\"script\" AttributesTxt=\"type=\\\"x\\\" async\"",
      u"    text Text=\"v\"", u"    closing Tag=\"/SCRIPT\""}},
    {"EmptyRawElementHasOnlyItsClosing",
     u"<textarea></textarea>",
     {u"root Tag=\"Root\"", u"  element Tag=\"textarea\"", u"    closing Tag=\"/textarea\""}},
    {"TextAfterAClosedTitleIsLost",
     u"<title>T</title>x",
     {u"root Tag=\"Root\"", u"  element Tag=\"title\"", u"    text Text=\"T\"",
      u"    closing Tag=\"/title\""}},
    {"PlaintextIsRawText",
     u"<plaintext>p<b></plaintext>",
     {u"root Tag=\"Root\"", u"  element Tag=\"plaintext\"", u"    text Text=\"p<b>\"",
      u"    closing Tag=\"/plaintext\""}},
    {"XmpIsRawText",
     u"<XMP><i>x</i></xmp>",
     {u"root Tag=\"Root\"", u"  element Tag=\"XMP\"", u"    text Text=\"<i>x</i>\"",
      u"    closing Tag=\"/xmp\""}},
    {"UnclosedScriptIsItsWholeToken",
     u"<p><script src=a>tail",
     {u"root Tag=\"Root\"", u"  element Tag=\"p\"", u"    element Tag=\"<script src=a>tail\"",
      u"      closing"}},
    {"NameThatOnlyBeginsLikeScript",
     u"<scripts>x</scripts>",
     {u"root Tag=\"Root\"", u"  element Tag=\"<scripts>x\"", u"    closing", u"  closing Tag=\"/scripts\""}},
    {"CommentKeepsTheTextAfterIt",
     u"<!-- c -->tail<p>",
     {u"root Tag=\"Root\"", u"  comment Tag=\"<!-- c -->tail\"", u"  element Tag=\"p\""}},
    {"CommentMayHoldTags",
     u"<div><!-- <p>x</p> --></div>",
     {u"root Tag=\"Root\"", u"  element Tag=\"div\"", u"    comment Tag=\"<!-- <p>x</p> -->\"",
      u"    closing Tag=\"/div\""}},
    {"SelfClosingWithTextAfterItOpens",
     u"<div/>text",
     {u"root Tag=\"Root\"", u"  element Tag=\"div\"", u"    text Text=\"text\""}},
    {"SelfClosingFollowedByATagStaysEmpty",
     u"<div/><p>",
     {u"root Tag=\"Root\"", u"  self-closed Tag=\"div\"", u"  element Tag=\"p\""}},
    {"BlankBeforeTheSlashStays",
     u"<img src=x />",
     {u"root Tag=\"Root\"", u"  self-closed Tag=\"img\" AttributesTxt=\"src=x \""}},
    {"DeclarationsNeverBecomeCurrent",
     u"<!DOCTYPE html><?xml v?><p>a",
     {u"root Tag=\"Root\"", u"  declaration Tag=\"<!DOCTYPE html>\"", u"  declaration Tag=\"<?xml v?>\"",
      u"  element Tag=\"p\"", u"    text Text=\"a\""}},
    {"BgsoundAndCommandAreVoid",
     u"<bgsound><command><Track>x",
     {u"root Tag=\"Root\"", u"  element Tag=\"bgsound\"", u"  element Tag=\"command\"",
      u"  element Tag=\"Track\"", u"  text Text=\"x\""}},
    {"NamesStopAtCharactersOutsideTheNamePattern",
     u"<my-item>x",
     {u"root Tag=\"Root\"", u"  element Tag=\"my\" AttributesTxt=\"-item\"", u"    text Text=\"x\""}},
    {"NamesMayHoldColons", u"<svg:rect/>", {u"root Tag=\"Root\"", u"  self-closed Tag=\"svg:rect\""}},
    {"UnreadableTagIsItsToken", u"< p>x", {u"root Tag=\"Root\"", u"  element Tag=\"< p>x\""}},
    {"EmptyTagsAreDropped",
     u"<p>a <> b</p>",
     {u"root Tag=\"Root\"", u"  element Tag=\"p\"", u"    text Text=\"a\"", u"    closing Tag=\"/p\""}},
    {"UnfinishedLastTagIsDropped",
     u"<p>a</p><b",
     {u"root Tag=\"Root\"", u"  element Tag=\"p\"", u"    text Text=\"a\"", u"    closing Tag=\"/p\""}},
    {"CharacterReferencesStayAsWritten",
     u"<p title=\"&amp;\">&lt;b&gt; &#65;</p>",
     {u"root Tag=\"Root\"", u"  element Tag=\"p\" AttributesTxt=\"title=\\\"&amp;\\\"\"",
      u"    text Text=\"&lt;b&gt; &#65;\"", u"    closing Tag=\"/p\""}},
    {"TextsAreTrimmed",
     u"<p>\r\n  a b \t</p>\n",
     {u"root Tag=\"Root\"", u"  element Tag=\"p\"", u"    text Text=\"a b\"", u"    closing Tag=\"/p\""}},
};

INSTANTIATE_TEST_SUITE_P(Parser, ParsedTree, ::testing::ValuesIn(TreeCases),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(Parser, PageWithoutTagsIsRefused)
{
    for (const char16_t *page : {u"", u"plain text", u"a < b", u"a <> b", u"<"}) {
        SCOPED_TRACE(QString::fromUtf16(page).toStdString());
        TDomTree tree;
        try {
            tree.RootNode()->RunParse(QString::fromUtf16(page));
            FAIL() << "parsed";
        } catch (const Error &e) {
            EXPECT_EQ(e.message(), QStringLiteral("Input text not contain HTML tags"));
        }
        EXPECT_EQ(tree.Count(), 0);
        EXPECT_TRUE(tree.RootNode()->Child().isEmpty());
    }
}

TEST(Parser, ReturnsWhetherNodesWereMade)
{
    TDomTree tree;
    EXPECT_TRUE(tree.RootNode()->RunParse(u"<br>"));
    EXPECT_EQ(tree.Count(), 1);
}

TEST(Parser, SecondParseAppendsASecondCopy)
{
    TDomTree tree;
    tree.RootNode()->RunParse(u"<p>a</p>");
    tree.RootNode()->RunParse(u"<p>a</p>");
    EXPECT_EQ(tree.Count(), 6);
    EXPECT_EQ(tree.RootNode()->Child().Count(), 2);
}

TEST(Parser, NodeKindsAndTheirDictionaries)
{
    TDomTree tree;
    tree.RootNode()->RunParse(u"<!DOCTYPE html><!--c--><p id=1>t</p><br/>");
    const TChildList &top = tree.RootNode()->Child();
    ASSERT_EQ(top.Count(), 4);
    EXPECT_EQ(top[0]->TypeTag(), QStringLiteral("%s"));
    ASSERT_NE(top[0]->Attributes(), nullptr); // a declaration has an empty dictionary
    EXPECT_TRUE(top[0]->Attributes()->isEmpty());
    EXPECT_EQ(top[1]->TypeTag(), QStringLiteral("%s"));
    EXPECT_TRUE(top[1]->IsComment());
    EXPECT_EQ(top[1]->Attributes(), nullptr); // a comment has none
    EXPECT_EQ(top[2]->TypeTag(), QStringLiteral("<%s>"));
    EXPECT_EQ(top[2]->Child()[0]->TypeTag(), QString());
    EXPECT_TRUE(top[2]->Child()[0]->IsTextNode());
    EXPECT_EQ(top[2]->Child()[1]->TypeTag(), QStringLiteral("</%s>"));
    EXPECT_EQ(top[3]->TypeTag(), QStringLiteral("<%s/>"));
}

struct ErrCase {
    const char *name;
    const char16_t *page;
    std::initializer_list<const char16_t *> messages;
};

class ParseMessages : public ::testing::TestWithParam<ErrCase> {};

TEST_P(ParseMessages, Recorded)
{
    const ErrCase &c = GetParam();
    EXPECT_EQ(parseErrOf(QString::fromUtf16(c.page)), lines(c.messages));
}

const ErrCase ErrCases[] = {
    {"CleanPageHasNone", u"<html><body class=\"x\"><p>a</p><img src=a alt='b' /></body></html>", {}},
    {"GapsAreNumberedFromZero",
     u"<p>a <> b<i>c<>d</i>",
     {u"0- Check error found after HTML parsing", u"1- Check error found after HTML parsing"}},
    {"TagNotAtTheTokenStart", u"<<b>text", {u"Check error Tags parsing - Sourse string: <<b>text"}},
    {"TextAfterARawElement",
     u"<title>T</title>x",
     {u"Check error Exception Tags parsing - Sourse string: <title>T</title>x"}},
    {"BlanksAfterARawElementAreFine", u"<title>T</title>\r\n", {}},
    {"BareWordOutsideTheTable", u"<input required>", {u"Attributtes not found - Sourse string: required"}},
    {"PartOfTheAttributesLeftOver",
     u"<input type=text required>",
     {u"Warning: parsed not all attributes, sourse string: type=text required\r\nnot parsed string: "
      u"required"}},
    {"AttributeGivenTwice",
     u"<a href=x href=y>",
     {u"Warning: not add Attributtes DuplicateKeyError : key \"href\" is already presentSourse string: "
      u"href=x "
      u"href=y;\r\n attributtes: href"}},
    {"KeyGroupIsQuotedUntrimmed",
     u"<a b=1 b =2>",
     {u"Warning: not add Attributtes DuplicateKeyError : key \"b\" is already presentSourse string: b=1 b "
      u"=2;\r\n "
      u"attributtes: b "}},
};

INSTANTIATE_TEST_SUITE_P(Parser, ParseMessages, ::testing::ValuesIn(ErrCases),
                         [](const auto &info) { return std::string(info.param.name); });

struct AttrCase {
    const char *name;
    const char16_t *text;
    std::initializer_list<std::pair<const char16_t *, const char16_t *>> entries;
};

class Attributes : public ::testing::TestWithParam<AttrCase> {};

TEST_P(Attributes, Entries)
{
    const AttrCase &c = GetParam();
    QStringList errors;
    const html::AttributePattern pattern(html::AttributePattern::Kind::Attribute);
    const AttributeDict dict = html::ParseAttributes(QString::fromUtf16(c.text), pattern, errors);
    std::vector<std::pair<QString, QString>> expected;
    for (const auto &[k, v] : c.entries)
        expected.emplace_back(QString::fromUtf16(k), QString::fromUtf16(v));
    EXPECT_EQ(std::vector<AttributeDict::Entry>(dict.entries().begin(), dict.entries().end()), expected);
}

const AttrCase AttrCases[] = {
    {"Empty", u"", {}},
    {"DoubleQuotesKept", u"class=\"draw default\"", {{u"class", u"\"draw default\""}}},
    {"SingleQuotesKept", u"class='a b'", {{u"class", u"'a b'"}}},
    {"UnquotedAsWritten", u"id=main", {{u"id", u"main"}}},
    {"BlanksAroundTheEqualsSign", u"a = \"x\"  b= y", {{u"a", u"\"x\""}, {u"b", u"y"}}},
    {"NamesKeepTheirCase", u"DATA-X=1 Disabled", {{u"DATA-X", u"1"}, {u"Disabled", u""}}},
    {"BareWordsOfTheTable",
     u"disabled hidden async",
     {{u"disabled", u""}, {u"hidden", u""}, {u"async", u""}}},
    {"QuoteNotClosedFallsBackToUnquoted", u"a=\"x b=y", {{u"a", u"\"x"}, {u"b", u"y"}}},
    {"FirstValueOfAKeyStays", u"a=1 a=2", {{u"a", u"1"}}},
    {"NamelessValueBecomesTheKey", u"=\"x\"", {{u"\"x\"", u""}}},
    {"OnlyCaseDiffers", u"a=1 A=2", {{u"a", u"1"}, {u"A", u"2"}}},
};

INSTANTIATE_TEST_SUITE_P(Parser, Attributes, ::testing::ValuesIn(AttrCases),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(Parser, VoidElementList)
{
    for (const char16_t *name :
         {u"META", u"link", u"Img", u"col", u"area", u"base", u"basefont", u"isindex", u"bgsound", u"command",
          u"param", u"input", u"embed", u"frame", u"br", u"wbr", u"hr", u"track"})
        EXPECT_TRUE(isVoidElement(QString::fromUtf16(name))) << QString::fromUtf16(name).toStdString();
    for (const char16_t *name : {u"div", u"p", u"", u"b", u"/br", u"source"})
        EXPECT_FALSE(isVoidElement(QString::fromUtf16(name))) << QString::fromUtf16(name).toStdString();
}

} // namespace
