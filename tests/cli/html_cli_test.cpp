#include "cli/clitesting.h"
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sstream>

using namespace sentrel::cli;

namespace {

using sentrel::test::CliRun;
CliRun run(const QStringList &args, const std::string &input = {})
{
    return sentrel::test::runCliWith(args, input);
}
QStringList args(std::initializer_list<const char *> items)
{
    return sentrel::test::argList(items);
}

const std::string Weather = "<html><body><div id=\"TopBox\"><div><div class=\"draw default\">Sunny</div>"
                            "<div class=\"draw\">Rain \xE2\x98\x82</div></div></div></body></html>";

TEST(XPathCommand, PrintsTheSelectionExactly)
{
    const struct {
        const char *name;
        QStringList args;
        std::string out;
    } cases[] = {
        {"options dialog example", args({"xpath", "//*[@id=\"TopBox\"]/div[1]/div[@class=\"draw default\"]"}),
         "<div class=\"draw default\"> Sunny"},
        {"lone carriage returns, no final line end", args({"xpath", "//div[@class=draw]"}),
         "<div class=\"draw default\"> Sunny\r<div class=\"draw\"> Rain \xE2\x98\x82"},
        {"mode 1", args({"xpath", "--mode", "1", "//div[@class=draw]"}),
         "<div class=\"draw default\">\r<div class=\"draw\">"},
        {"mode 2", args({"xpath", "--mode=2", "//div[@class=draw]"}), "Sunny\rRain \xE2\x98\x82"},
        {"nothing selected", args({"xpath", "//table"}), ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const CliRun r = run(c.args, Weather);
        EXPECT_EQ(r.code, 0) << r.err;
        EXPECT_EQ(r.out, c.out);
        EXPECT_TRUE(r.err.empty()) << r.err;
    }
}

TEST(XPathCommand, ReadsTheFileGiven)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("page.html"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("\xEF\xBB\xBF<p>caf\xC3\xA9</p>");
    f.close();
    const CliRun r = run({QStringLiteral("xpath"), QStringLiteral("//p"), path});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "<p > caf\xC3\xA9");
}

TEST(XPathCommand, UnreadableExpressionOrPageFailsWithTheMessage)
{
    const struct {
        QStringList args;
        std::string input;
        std::string message;
    } cases[] = {
        {args({"xpath", "div"}), "<div>x</div>", "XPath is not correct or empty.\n"},
        {args({"xpath", "/123"}), "<div>x</div>", "XPath is not correct /123\n"},
        {args({"xpath", "//div[@class]"}), "<div>x</div>", "Attribute not found: class\n"},
        {args({"xpath", "//div"}), "no tags here", "Input text not contain HTML tags\n"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.message);
        const CliRun r = run(c.args, c.input);
        EXPECT_EQ(r.code, 1);
        EXPECT_TRUE(r.out.empty());
        EXPECT_EQ(r.err, c.message);
    }
}

TEST(XPathCommand, WrongUse)
{
    for (const QStringList &a : {args({"xpath"}), args({"xpath", "--mode", "x", "//p"}),
                                 args({"xpath", "//p", "a", "b"}), args({"xpath", "--nope", "//p"})}) {
        SCOPED_TRACE(a.join(u' ').toStdString());
        const CliRun r = run(a, "<p>x</p>");
        EXPECT_EQ(r.code, 2);
        EXPECT_TRUE(r.out.empty());
    }
}

TEST(ParseCommand, DumpsTheTreeThenTheMessages)
{
    const CliRun r =
        run(args({"parse"}), "Hello <b class=\"x\">w\r\nx</b><input type=text required><p>a <> b</p>");
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(
        r.out,
        "root Tag=\"Root\"\n"
        "  element Tag=\"b\" AttributesTxt=\"class=\\\"x\\\"\"\n"
        "    text Text=\"w\\r\\nx\"\n"
        "    closing Tag=\"/b\"\n"
        "  element Tag=\"input\" AttributesTxt=\"type=text required\"\n"
        "  element Tag=\"p\"\n"
        "    text Text=\"a\"\n"
        "    closing Tag=\"/p\"\n"
        "ParseErr: 2\n"
        "\"Warning: parsed not all attributes, sourse string: type=text required\\r\\nnot parsed string: "
        "required\"\n"
        "\"0- Check error found after HTML parsing\"\n");
}

TEST(ParseCommand, DeepPagesKeepTheirIndentationBounded)
{
    std::string page;
    for (int i = 0; i < 50; ++i)
        page += "<i>";
    const CliRun r = run(args({"parse"}), page);
    EXPECT_EQ(r.code, 0);
    EXPECT_NE(r.out.find("\n" + std::string(80, ' ') + "[41] element Tag=\"i\"\n"), std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("[50] element"), std::string::npos);
}

TEST(ParseCommand, PageWithoutTagsFails)
{
    const CliRun r = run(args({"parse"}), "just text");
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.out.empty());
    EXPECT_EQ(r.err, "Input text not contain HTML tags\n");
}

} // namespace
