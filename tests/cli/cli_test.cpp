#include "cli/clitesting.h"
#include <gtest/gtest.h>
#include <sstream>

using namespace sentrel::cli;

namespace {

using sentrel::test::CliRun;
CliRun runWith(const QStringList &args)
{
    return sentrel::test::runCliWith(args);
}

TEST(Cli, HelpGoesToStdoutAndListsEveryCommand)
{
    const CliRun r = runWith({QStringLiteral("--help")});
    EXPECT_EQ(r.code, 0);
    EXPECT_TRUE(r.err.empty());
    for (const char *name : {"fetch URL", "strip [--method M] [FILE]", "decode [FILE]"})
        EXPECT_NE(r.out.find(name), std::string::npos) << name;
}

TEST(Cli, CommandHelpGoesToStdout)
{
    const CliRun r = runWith({QStringLiteral("strip"), QStringLiteral("--help")});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out.rfind("Usage: sentrel-cli strip", 0), 0u) << r.out;
}

TEST(Cli, VersionNamesProductAndVersion)
{
    const CliRun r = runWith({QStringLiteral("--version")});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "Sentrel 2.0\n");
}

TEST(Cli, WrongUseExitsTwoWithMessageOnStderr)
{
    const struct {
        const char *name;
        QStringList args;
    } cases[] = {
        {"no command", {}},
        {"unknown command", {QStringLiteral("frobnicate")}},
        {"unknown global option", {QStringLiteral("--nope"), QStringLiteral("fetch")}},
        {"unknown command option", {QStringLiteral("decode"), QStringLiteral("--nope")}},
        {"unknown strip method", {QStringLiteral("strip"), QStringLiteral("--method"), QStringLiteral("ie")}},
        {"option without value", {QStringLiteral("strip"), QStringLiteral("--method")}},
        {"fetch without URL", {QStringLiteral("fetch")}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const CliRun r = runWith(c.args);
        EXPECT_EQ(r.code, 2);
        EXPECT_TRUE(r.out.empty());
        EXPECT_FALSE(r.err.empty());
    }
}

TEST(Cli, MissingFileFailsWithExitOne)
{
    const CliRun r = runWith({QStringLiteral("decode"), QStringLiteral("/nonexistent/file.html")});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("/nonexistent/file.html"), std::string::npos);
}

} // namespace
