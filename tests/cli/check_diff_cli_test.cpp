#include "cli/clitesting.h"
#include "support/loopbackserver.h"
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <regex>
#include <string>

using sentrel::test::CliRun;
using sentrel::test::LoopbackServer;
using sentrel::test::Reply;

namespace {

// sentrel-cli check --diff on a data folder of its own, against pages served on 127.0.0.1.
class CheckDiffCli : public ::testing::Test {
protected:
    CliRun run(const QStringList &args) const { return sentrel::test::runCliOn(dir_.path(), args); }
    std::string url(std::string_view target) const { return server_.url(target).toStdString(); }
    QString qurl(std::string_view target) const { return server_.url(target); }

    LoopbackServer server_;
    QTemporaryDir dir_;
};

// The output with the versions' local times made uniform.
std::string withoutTimes(const std::string &text)
{
    static const std::regex timeStamp(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d)");
    return std::regex_replace(text, timeStamp, "T");
}

TEST_F(CheckDiffCli, EachChangedRowIsFollowedByWhatChanged)
{
    server_.on("/a", Reply::ok("<html><body><p>Alpha</p></body></html>"));
    server_.on("/b", Reply::ok("<html><body><p>one</p><p>two</p><p>three</p></body></html>"));
    server_.on("/c", Reply::ok("<html><body><p>Gamma 1</p></body></html>"));
    server_.on("/b", Reply::ok("<html><body><p>one</p><p>2</p><p>three</p></body></html>"));
    server_.on("/c", Reply::ok("<html><body><p>Gamma 2</p></body></html>"));
    ASSERT_EQ(run({QStringLiteral("add"), qurl("/a"), qurl("/b"), qurl("/c")}).code, 0);
    const QStringList check{QStringLiteral("check"), QStringLiteral("--all"), QStringLiteral("--diff")};

    CliRun first = run(check);
    EXPECT_EQ(first.code, 0) << first.err;
    EXPECT_EQ(first.out,
              "OK\t" + url("/a") + "\nOK\t" + url("/b") + "\nOK\t" + url("/c") + "\nNo Change Detected\n")
        << "a first check has nothing to compare";

    CliRun second = run(check);
    EXPECT_EQ(second.code, 0) << second.err;
    EXPECT_EQ(withoutTimes(second.out), "OK\t" + url("/a") + "\nChanged!\t" + url("/b") + "\n--- " +
                                            url("/b") + "@1 (T)\n+++ " + url("/b") +
                                            "@2 (T)\n"
                                            "@@ -1,5 +1,5 @@\n"
                                            " one\r\n \r\n-two\r\n+2\r\n \r\n three\n"
                                            "\\ No newline at end of file\n"
                                            "Changed!\t" +
                                            url("/c") + "\n--- " + url("/c") + "@1 (T)\n+++ " + url("/c") +
                                            "@2 (T)\n"
                                            "@@ -1 +1 @@\n"
                                            "-Gamma 1\n\\ No newline at end of file\n"
                                            "+Gamma 2\n\\ No newline at end of file\n"
                                            "Complete\n");
    EXPECT_TRUE(second.err.ends_with("\n3 checked, 2 changed, 0 errors\n")) << second.err;
}

} // namespace
