#include "cli/clitesting.h"
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sstream>

using namespace sentrel::cli;
using namespace std::string_literals;

namespace {

using sentrel::test::CliRun;
CliRun run(const QStringList &args, const std::string &input = {})
{
    return sentrel::test::runCliWith(args, input);
}

QStringList strip(std::initializer_list<const char *> options)
{
    QStringList args{QStringLiteral("strip")};
    for (const char *o : options)
        args.append(QString::fromUtf8(o));
    return args;
}

TEST(StripCommand, PrintsTheTextOfEachMethodExactly)
{
    const std::string page = "<p>caf\xC3\xA9 &amp; <b>t\xC3\xA9</b></p><p>x<br><!-- <y> -->z</p>\r\n";
    const struct {
        const char *name;
        QStringList args;
        std::string out;
    } cases[] = {
        {"browser is the default", strip({}), "caf\xC3\xA9 & t\xC3\xA9\r\n\r\nx\r\nz"},
        {"browser", strip({"--method", "browser"}), "caf\xC3\xA9 & t\xC3\xA9\r\n\r\nx\r\nz"},
        {"regex", strip({"--method=regex"}), "caf\xC3\xA9 & t\xC3\xA9xz\r\n"},
        {"stringbuilder", strip({"--method", "stringbuilder"}), "caf\xC3\xA9 & t\xC3\xA9x --z\r\n"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const CliRun r = run(c.args, page);
        EXPECT_EQ(r.code, 0);
        EXPECT_EQ(r.out, c.out);
        EXPECT_EQ(r.err, "");
    }
}

TEST(StripCommand, ReadsTheNamedFileAndDropsAByteOrderMark)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("page.html"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("\xEF\xBB\xBF<div>from file</div><div>\xE2\x82\xAC</div>");
    file.close();

    const CliRun r = run({QStringLiteral("strip"), path}, "<p>from stdin</p>");
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "from file\r\n\xE2\x82\xAC");

    const CliRun dash = run(
        {QStringLiteral("strip"), QStringLiteral("--method"), QStringLiteral("regex"), QStringLiteral("-")},
        "<p>from stdin</p>");
    EXPECT_EQ(dash.out, "from stdin");
}

TEST(StripCommand, MalformedReferenceFailsWithExitOne)
{
    const CliRun r = run(strip({"--method", "regex"}), "<p>&#x;</p>\n");
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "'$' is not a valid integer value\n");
}

TEST(StripCommand, WrongUseExitsTwo)
{
    for (const QStringList &args : {strip({"--method", "ie"}), strip({"a.html", "b.html"})}) {
        SCOPED_TRACE(args.join(u' ').toStdString());
        const CliRun r = run(args);
        EXPECT_EQ(r.code, 2);
        EXPECT_EQ(r.out, "");
        EXPECT_NE(r.err.find("Usage: sentrel-cli strip"), std::string::npos) << r.err;
    }
}

TEST(DecodeCommand, PrintsTheDecodedTextExactly)
{
    const CliRun r = run({QStringLiteral("decode")}, "&lt;&amp;&#65;&#x20AC;&AMP; line\r\nnext&#0;end");
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "<&A\xE2\x82\xAC&AMP; line\r\nnext\0end"s);
    EXPECT_EQ(r.err, "");
}

TEST(DecodeCommand, MalformedReferenceFailsWithExitOne)
{
    const CliRun r = run({QStringLiteral("decode")}, "a &#99999999999; b");
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "'99999999999' is not a valid integer value\n");
}

TEST(DecodeCommand, ExpectsAtMostOneFile)
{
    const CliRun r = run({QStringLiteral("decode"), QStringLiteral("a"), QStringLiteral("b")});
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(r.out, "");
}

} // namespace
