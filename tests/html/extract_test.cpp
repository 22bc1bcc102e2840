#include "html/extract.h"
#include "support/qtext.h"
#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace sentrel;

namespace {

class MockSink : public MessageSink {
public:
    MOCK_METHOD(void, showError, (const QString &title, const QString &text), (override));
};

struct ExtractCase {
    const char *name;
    const char16_t *page;
    const char16_t *expression;
    int mode;
    const char16_t *result;
};

class Extract : public ::testing::TestWithParam<ExtractCase> {};

TEST_P(Extract, PrintsEachSelectedNode)
{
    const ExtractCase &c = GetParam();
    MockSink sink;
    EXPECT_CALL(sink, showError).Times(0);
    EXPECT_EQ(
        ExtractXPathText(QString::fromUtf16(c.page), QString::fromUtf16(c.expression), c.mode, true, &sink),
        QString::fromUtf16(c.result));
}

constexpr const char16_t *Weather = u"<html><body><div id=\"TopBox\"><div><div class=\"draw "
                                    u"default\">Sunny</div><div class=\"draw\">Rain</div>"
                                    u"</div></div></body></html>";

const ExtractCase ExtractCases[] = {
    {"OptionsDialogExample", Weather, u"//*[@id=\"TopBox\"]/div[1]/div[@class=\"draw default\"]", 0,
     u"<div class=\"draw default\"> Sunny"},
    {"LinesSeparatedByLoneCarriageReturns", u"<p>a</p><p>b</p><p>c</p>", u"//p", 0,
     u"<p > a\r<p > b\r<p > c"},
    {"OnlyTheFirstDirectText", u"<p>a<b>b</b>c</p>", u"/p", 0, u"<p > a"},
    {"ElementWithElementsOnly", u"<div><p>x</p></div>", u"/div", 0, u"<div > "},
    {"TextNodesPrintAsOneBlank", u"<p>a<b>x</b>b</p><p>c<i>y</i>d</p>", u"//p/text()", 0, u" \r \r \r "},
    {"CommentsPrintWithTwoBlanks", u"<div><!-- c --></div>", u"//comment()", 0, u"<!-- c -->  "},
    {"AttributeStepPrintsTheElements", u"<a href=\"u\">one</a><a>two</a>", u"//a/@href", 0,
     u"<a href=\"u\"> one\r<a > two"},
    {"AttributeStepWithoutValuesGivesNothing", u"<a>one</a><a>two</a>", u"//a/@href", 0, u""},
    {"NothingSelected", u"<p>a</p>", u"//div", 0, u""},
    {"ModeOneTagsOnly", u"<p id=1>a</p><br/>", u"/*", 1, u"<p id=1>\r<br />"},
    {"OtherModesTextsOnly", u"<p>a</p><p>b</p>", u"/p", 2, u"a\rb"},
    {"AnyOtherNumberIsTextOnly", u"<p>a</p>", u"/p", -7, u"a"},
    {"LineBreaksInTextsStay", u"<pre>a\r\nb</pre>", u"/pre", 2, u"a\r\nb"},
};

INSTANTIATE_TEST_SUITE_P(ExtractXPathText, Extract, ::testing::ValuesIn(ExtractCases),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(ExtractXPathText, ErrorsGiveTheEmptyTextAndReachTheBoxOnlyWhenAsked)
{
    const struct {
        const char16_t *page;
        const char16_t *expression;
        const char16_t *message;
    } cases[] = {
        {u"plain text", u"//p", u"Input text not contain HTML tags"},
        {u"<p>a</p>", u"p", u"XPath is not correct or empty."},
        {u"<p>a</p>", u"/123", u"XPath is not correct /123"},
        {u"<p class=a>a</p>", u"//p[@class]", u"Attribute not found: class"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(QString::fromUtf16(c.message).toStdString());
        const QString page = QString::fromUtf16(c.page), expression = QString::fromUtf16(c.expression);
        {
            MockSink sink;
            EXPECT_CALL(sink, showError(QStringLiteral("ERROR"), QString::fromUtf16(c.message))).Times(1);
            EXPECT_EQ(ExtractXPathText(page, expression, 0, true, &sink), QString());
        }
        {
            MockSink sink;
            EXPECT_CALL(sink, showError).Times(0);
            EXPECT_EQ(ExtractXPathText(page, expression, 0, false, &sink), QString());
        }
        EXPECT_EQ(ExtractXPathText(page, expression, 0, true, nullptr), QString());
    }
}

} // namespace
