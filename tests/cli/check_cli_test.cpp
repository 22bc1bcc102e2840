#include "cli/clitesting.h"
#include "storage/runlock.h"
#include "support/loopbackserver.h"
#include "support/qtext.h"
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <regex>
#include <sstream>
#include <string>

using namespace sentrel;
using namespace sentrel::cli;
using sentrel::test::LoopbackServer;
using sentrel::test::Reply;

namespace {

using sentrel::test::CliRun;

std::string html(std::string_view body)
{
    return "<html><body>" + std::string(body) + "</body></html>";
}

// sentrel-cli check on a data folder of its own, against pages served on 127.0.0.1.
class CheckCli : public ::testing::Test {
protected:
    CliRun run(const QStringList &args) const { return sentrel::test::runCliOn(dir_.path(), args); }
    std::string url(std::string_view target) const { return server_.url(target).toStdString(); }
    QString qurl(std::string_view target) const { return server_.url(target); }
    void add(std::initializer_list<std::string_view> targets)
    {
        QStringList args{QStringLiteral("add")};
        for (std::string_view t : targets)
            args.append(qurl(t));
        ASSERT_EQ(run(args).code, 0);
    }
    void settings(const QByteArray &lines)
    {
        QFile f(dir_.filePath(QStringLiteral("settings.ini")));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("[Settings]\r\n" + lines);
    }
    std::string stored(std::string_view target) { return run({QStringLiteral("show"), qurl(target)}).out; }
    int requestsFor(std::string_view target) const
    {
        int n = 0;
        for (const auto &r : server_.requests())
            n += r.target == target;
        return n;
    }

    LoopbackServer server_;
    QTemporaryDir dir_;
};

const std::regex timeStamp(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d)");

// The log on stderr with the check times made uniform.
std::string withoutTimes(const std::string &log)
{
    return std::regex_replace(log, timeStamp, "T");
}

TEST_F(CheckCli, FirstRunSavesEveryPageAsOkAndTheSecondReportsTheChangedOne)
{
    server_.on("/a", Reply::ok(html("<p>Alpha</p>")));
    server_.on("/b", Reply::ok(html("<p>Beta 1</p>")));
    server_.on("/b", Reply::ok(html("<p>Beta 2</p>")));
    add({"/a", "/b"});

    CliRun first = run({QStringLiteral("check"), QStringLiteral("--all")});
    EXPECT_EQ(first.code, 0) << first.err;
    EXPECT_EQ(first.out, "OK\t" + url("/a") + "\nOK\t" + url("/b") + "\nNo Change Detected\n");
    EXPECT_EQ(first.err, "2 checked, 0 changed, 0 errors\n") << "first checks are not logged";
    EXPECT_EQ(stored("/b"), "Beta 1");

    CliRun second = run({QStringLiteral("check"), QStringLiteral("--all")});
    EXPECT_EQ(second.code, 0) << second.err;
    EXPECT_EQ(second.out, "OK\t" + url("/a") + "\nChanged!\t" + url("/b") + "\nComplete\n");
    EXPECT_EQ(withoutTimes(second.err), "T (Changed) " + url("/b") + "\n2 checked, 1 changed, 0 errors\n");
    EXPECT_TRUE(std::regex_search(second.err, timeStamp));
    EXPECT_EQ(stored("/b"), "Beta 2");
}

TEST_F(CheckCli, FailedDownloadsAreRowsOfTheRunAndAreLogged)
{
    server_.on("/gone", Reply::status("HTTP/1.1 404 Not Found"));
    server_.on("/blank", Reply::ok(" \r\n\t "));
    add({"/gone", "/blank"});
    CliRun r = run({QStringLiteral("check"), QStringLiteral("--all")});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "404 Not Found\t" + url("/gone") + "\nEmpty Response\t" + url("/blank") +
                         "\nNo Change Detected\n");
    EXPECT_EQ(withoutTimes(r.err), "T (Error: 404 Not Found) " + url("/gone") +
                                       "\nT (Error: Empty Response) " + url("/blank") +
                                       "\n2 checked, 0 changed, 2 errors\n");
    EXPECT_EQ(stored("/gone"), "");
}

TEST_F(CheckCli, NamedUrlsAreTheOnlyRowsChecked)
{
    server_.on("/a", Reply::ok("a"));
    server_.on("/b", Reply::ok("b"));
    add({"/a", "/b"});
    CliRun r = run({QStringLiteral("check"), qurl("/b")});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "OK\t" + url("/b") + "\nComplete\n");
    EXPECT_EQ(requestsFor("/a"), 0);
}

TEST_F(CheckCli, ParallelDownloadsChangeNothingButTheTime)
{
    std::vector<std::string_view> targets{"/p0", "/p1", "/p2", "/p3", "/p4",
                                          "/p5", "/p6", "/p7", "/p8", "/p9"};
    for (size_t i = 0; i < targets.size(); ++i) {
        const std::string target(targets[i]);
        server_.on(target, Reply::ok(html("<p>page " + std::to_string(i) + "</p>")));
        // From the second request on: every third page changed, one failing.
        if (i == 4)
            server_.on(target, Reply::status("HTTP/1.1 500 Internal Server Error"));
        else
            server_.on(target,
                       Reply::ok(html("<p>page " + std::to_string(i % 3 == 0 ? i + 100 : i) + "</p>")));
        QStringList args{QStringLiteral("add"), qurl(target)};
        ASSERT_EQ(run(args).code, 0);
    }
    ASSERT_EQ(
        run({QStringLiteral("check"), QStringLiteral("--all"), QStringLiteral("--jobs"), QStringLiteral("1")})
            .code,
        0);

    // The pages of the second run, once one at a time and once eight ahead,
    // from two copies of the same store.
    QTemporaryDir copy;
    for (const QString &name : QDir(dir_.path()).entryList(QDir::Files))
        ASSERT_TRUE(QFile::copy(dir_.filePath(name), copy.filePath(name)));
    CliRun sequential = run(
        {QStringLiteral("check"), QStringLiteral("--all"), QStringLiteral("--jobs"), QStringLiteral("1")});
    const CliRun ahead =
        sentrel::test::runCliOn(copy.path(), {QStringLiteral("check"), QStringLiteral("--all"),
                                              QStringLiteral("--jobs"), QStringLiteral("8")});
    EXPECT_EQ(ahead.code, sequential.code);
    EXPECT_EQ(ahead.out, sequential.out);
    EXPECT_EQ(withoutTimes(ahead.err), withoutTimes(sequential.err));
    EXPECT_NE(sequential.out.find("Changed!\t" + url("/p3")), std::string::npos);
    EXPECT_NE(sequential.out.find("500 Internal Server Error\t" + url("/p4")), std::string::npos);
}

TEST_F(CheckCli, ShowMessagePrintsTheChangedUrlsAfterTheOutcome)
{
    server_.on("/a", Reply::ok("one"));
    server_.on("/a", Reply::ok("two"));
    server_.on("/b", Reply::ok("one"));
    server_.on("/b", Reply::ok("two"));
    add({"/a", "/b"});
    ASSERT_EQ(run({QStringLiteral("check"), QStringLiteral("--all")}).code, 0);
    settings("ShowMessage=ON\r\nBeep=ON\r\nOpenURL=ON\r\n");
    CliRun r = run({QStringLiteral("check"), QStringLiteral("--all")});
    EXPECT_EQ(r.out, "Changed!\t" + url("/a") + "\nChanged!\t" + url("/b") + "\nComplete\nChanged URLs:\n\n" +
                         url("/a") + "\n" + url("/b") + "\n");
}

TEST_F(CheckCli, TheStripMethodComesFromTheSettingsUnlessTheOptionNamesOne)
{
    server_.on("/a", Reply::ok("a<br>b"));
    add({"/a"});
    settings("StripMethod=StringBuilder\r\n");
    ASSERT_EQ(run({QStringLiteral("check"), QStringLiteral("--all")}).code, 0);
    EXPECT_EQ(stored("/a"), "ab");
    CliRun r = run({QStringLiteral("check"), QStringLiteral("--all"), QStringLiteral("--strip-method"),
                    QStringLiteral("browser")});
    EXPECT_EQ(r.out, "Changed!\t" + url("/a") + "\nComplete\n");
    EXPECT_EQ(stored("/a"), "a\r\nb");
}

TEST_F(CheckCli, TheCheckOptionsAndTheExclusionListReduceThePage)
{
    server_.on("/a", Reply::ok(html("<p>Price 10</p><p>Visitor Number 5</p><p>Stock 3</p>")));
    add({"/a"});
    ASSERT_EQ(run({QStringLiteral("set"), qurl("/a"), QStringLiteral("--strip"), QStringLiteral("no"),
                   QStringLiteral("--xpath"), QStringLiteral("//p"), QStringLiteral("--regex"),
                   QStringLiteral("[A-Z]\\w+( \\w+)? \\d+")})
                  .code,
              0);
    ASSERT_EQ(run({QStringLiteral("check"), QStringLiteral("--all")}).code, 0);
    EXPECT_EQ(stored("/a"), "Price 10\r\nStock 3") << "the default exclusions drop the visitor line";
}

// A row whose pattern or page cannot be reduced: row_errors_cli_test.cpp.

TEST_F(CheckCli, EachRowIsOneLineAndTheLastLineOnStderrCountsTheRows)
{
    server_.on("/same", Reply::ok("same"));
    server_.on("/moving", Reply::ok("one"));
    server_.on("/moving", Reply::ok("two"));
    server_.on("/gone", Reply::status("HTTP/1.1 404 Not Found"));
    const QString refused = QStringLiteral("http://127.0.0.1:%1/").arg(sentrel::test::closedPort());
    add({"/same", "/moving", "/gone"});
    ASSERT_EQ(run({QStringLiteral("add"), refused}).code, 0);
    ASSERT_EQ(run({QStringLiteral("check"), QStringLiteral("--all")}).code, 0);

    CliRun r = run({QStringLiteral("check"), QStringLiteral("--all")});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "OK\t" + url("/same") + "\nChanged!\t" + url("/moving") + "\n404 Not Found\t" +
                         url("/gone") + "\nSocket Error # 111: Connection refused\t" + refused.toStdString() +
                         "\nComplete\n");
    EXPECT_TRUE(r.err.ends_with("\n4 checked, 1 changed, 2 errors\n")) << r.err;
}

struct FailOnErrorCase {
    const char *name;
    std::vector<std::string_view> targets;
    bool option;
    int code;
};

TEST_F(CheckCli, FailOnErrorExitsThreeWhenTheCheckOfAnyRowFailed)
{
    server_.on("/fine", Reply::ok("fine"));
    server_.on("/broken", Reply::status("HTTP/1.1 500 Internal Server Error"));
    server_.on("/empty", Reply::ok(""));
    const FailOnErrorCase cases[] = {
        {"every row fine", {"/fine"}, true, 0},
        {"a row failed, no option", {"/fine", "/broken"}, false, 0},
        {"a row failed", {"/fine", "/broken"}, true, 3},
        {"every row failed", {"/broken", "/empty"}, true, 3},
    };
    for (const FailOnErrorCase &c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir folder;
        QStringList add{QStringLiteral("add")};
        for (std::string_view t : c.targets)
            add.append(qurl(t));
        ASSERT_EQ(sentrel::test::runCliOn(folder.path(), add).code, 0);
        QStringList check{QStringLiteral("check"), QStringLiteral("--all")};
        if (c.option)
            check.append(QStringLiteral("--fail-on-error"));
        const CliRun r = sentrel::test::runCliOn(folder.path(), check);
        EXPECT_EQ(r.code, c.code) << r.err;
        EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), std::ptrdiff_t(c.targets.size() + 1))
            << "every row and the outcome are printed all the same";
    }
}

TEST_F(CheckCli, WithNoWaitARunExitsSeventyFiveWhileAnotherHoldsTheDataFolder)
{
    server_.on("/a", Reply::ok("a"));
    add({"/a"});
    std::unique_ptr<RunLock> held = RunLock::tryTake(dir_.path() + u'/');
    ASSERT_TRUE(held);
    CliRun refused = run({QStringLiteral("check"), QStringLiteral("--all"), QStringLiteral("--no-wait")});
    EXPECT_EQ(refused.code, 75);
    EXPECT_EQ(refused.out, "");
    EXPECT_NE(refused.err.find("under way"), std::string::npos) << refused.err;
    EXPECT_EQ(requestsFor("/a"), 0);
    // Commands that only read take no lock.
    EXPECT_EQ(run({QStringLiteral("list")}).code, 0);
    EXPECT_EQ(run({QStringLiteral("show"), qurl("/a")}).code, 0);

    held.reset();
    CliRun r = run({QStringLiteral("check"), QStringLiteral("--all"), QStringLiteral("--no-wait")});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(requestsFor("/a"), 1);
}

struct UsageCase {
    const char *name;
    QStringList args;
};

TEST_F(CheckCli, WrongUseIsRefusedBeforeAnythingIsChecked)
{
    server_.on("/a", Reply::ok("a"));
    add({"/a"});
    const UsageCase cases[] = {
        {"neither --all nor a URL", {QStringLiteral("check")}},
        {"both", {QStringLiteral("check"), QStringLiteral("--all"), qurl("/a")}},
        {"unknown strip method",
         {QStringLiteral("check"), QStringLiteral("--all"), QStringLiteral("--strip-method=ie")}},
        {"no jobs",
         {QStringLiteral("check"), QStringLiteral("--all"), QStringLiteral("--jobs"), QStringLiteral("0")}},
        {"jobs not a number",
         {QStringLiteral("check"), QStringLiteral("--all"), QStringLiteral("--jobs=many")}},
    };
    for (const UsageCase &c : cases) {
        SCOPED_TRACE(c.name);
        CliRun r = run(c.args);
        EXPECT_EQ(r.code, 2);
        EXPECT_EQ(r.out, "");
    }
    CliRun unknown = run({QStringLiteral("check"), QStringLiteral("http://127.0.0.1:1/not-listed")});
    EXPECT_EQ(unknown.code, 1);
    EXPECT_EQ(unknown.err, "Not in the list: http://127.0.0.1:1/not-listed\n");
    EXPECT_EQ(requestsFor("/a"), 0);
}

TEST_F(CheckCli, AnEmptyListChecksNothing)
{
    CliRun r = run({QStringLiteral("check"), QStringLiteral("--all")});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("nothing to check"), std::string::npos);
}

} // namespace
