#include "cli/clitesting.h"
#include "storage/storesqlite.h"
#include "storage/websitedb.h"
#include "storage/websiteoptions.h"
#include "support/loopbackserver.h"
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <string>

using namespace sentrel;
using sentrel::test::CliRun;
using sentrel::test::LoopbackServer;
using sentrel::test::Reply;

namespace {

// A row whose options or page the check cannot reduce is that row's error:
// the run goes on, the changes found are announced and the exit code is 0.
class RowErrorsCli : public ::testing::Test {
protected:
    CliRun run(const QTemporaryDir &dir, const QStringList &args) const
    {
        return sentrel::test::runCliOn(dir.path(), args);
    }
    std::string url(const std::string &target) const { return server_.url(target).toStdString(); }
    QString qurl(const std::string &target) const { return server_.url(target); }

    // Options that `set` refuses, written as an older version or another
    // program could have left them in the store.
    static void storeOptions(const QTemporaryDir &dir, const QString &url, const WebsiteOptions &options)
    {
        WebsiteDb db(dir.path(), StoreSettings{});
        ASSERT_EQ(db.editUrl(url, url, options), 1);
    }

    LoopbackServer server_;
};

// The log on stderr with the check times made uniform.
std::string withoutTimes(const std::string &log)
{
    static const QRegularExpression checkTime(QStringLiteral(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d)"));
    return QString::fromStdString(log).replace(checkTime, QStringLiteral("T")).toStdString();
}

TEST_F(RowErrorsCli, ABadRowIsThatRowsErrorAndTheRunGoesOnToAnnounceItsChanges)
{
    for (const char *jobs : {"1", "4"}) {
        SCOPED_TRACE(std::string("--jobs ") + jobs);
        const std::string p = std::string("/j") + jobs;
        server_.on(p + "/a", Reply::ok("one"));
        server_.on(p + "/a", Reply::ok("two"));
        server_.on(p + "/pattern", Reply::ok("b"));
        server_.on(p + "/reference", Reply::ok("<p>a &#; b</p>"));
        server_.on(p + "/xpath", Reply::ok("<p>x</p>"));
        server_.on(p + "/e", Reply::ok("e"));
        QTemporaryDir dir;
        ASSERT_EQ(run(dir, {QStringLiteral("add"), qurl(p + "/a"), qurl(p + "/pattern"),
                            qurl(p + "/reference"), qurl(p + "/xpath"), qurl(p + "/e")})
                      .code,
                  0);
        ASSERT_EQ(run(dir, {QStringLiteral("check"), qurl(p + "/a")}).code, 0);
        WebsiteOptions badPattern;
        badPattern.strip = true;
        badPattern.regex = QStringLiteral("(");
        storeOptions(dir, qurl(p + "/pattern"), badPattern);
        WebsiteOptions badXPath;
        badXPath.strip = false;
        badXPath.xpath = QStringLiteral("div");
        storeOptions(dir, qurl(p + "/xpath"), badXPath);

        const CliRun r =
            run(dir, {QStringLiteral("check"), QStringLiteral("--all"), QStringLiteral("--strip-method"),
                      QStringLiteral("regex"), QStringLiteral("--jobs"), QString::fromLatin1(jobs)});
        EXPECT_EQ(r.code, 0) << r.err;
        const std::string patternError =
            "Error in regular expression at offset 1: missing closing parenthesis";
        const std::string referenceError = "'' is not a valid integer value";
        const std::string xpathError = "XPath is not correct or empty.";
        EXPECT_EQ(r.out, "Changed!\t" + url(p + "/a") + "\n" + patternError + "\t" + url(p + "/pattern") +
                             "\n" + referenceError + "\t" + url(p + "/reference") + "\n" + xpathError + "\t" +
                             url(p + "/xpath") + "\nOK\t" + url(p + "/e") + "\nComplete\n");
        EXPECT_EQ(withoutTimes(r.err), "T (Changed) " + url(p + "/a") + "\nT (Error: " + patternError + ") " +
                                           url(p + "/pattern") + "\nT (Error: " + referenceError + ") " +
                                           url(p + "/reference") + "\nT (Error: " + xpathError + ") " +
                                           url(p + "/xpath") + "\n5 checked, 1 changed, 3 errors\n");
        for (const char *target : {"/pattern", "/reference", "/xpath"})
            EXPECT_EQ(run(dir, {QStringLiteral("show"), qurl(p + target)}).out, "")
                << target << ": nothing saved";
    }
}

TEST_F(RowErrorsCli, SetRefusesAPatternOrXPathEveryCheckWouldFailOn)
{
    const struct {
        const char *name;
        QStringList args;
        std::string message;
    } cases[] = {
        {"pattern",
         {QStringLiteral("--regex"), QStringLiteral("ab(c")},
         "sentrel-cli set: --regex: Error in regular expression at offset 4: missing closing parenthesis\n"},
        {"XPath without steps",
         {QStringLiteral("--xpath"), QStringLiteral("div")},
         "sentrel-cli set: --xpath: XPath is not correct or empty.\n"},
        {"XPath predicate",
         {QStringLiteral("--xpath=//div[@class]")},
         "sentrel-cli set: --xpath: Attribute not found: class\n"},
    };
    QTemporaryDir dir;
    const QString listed = QStringLiteral("http://example.test/");
    ASSERT_EQ(run(dir, {QStringLiteral("add"), listed}).code, 0);
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        QStringList args{QStringLiteral("set"), listed};
        args.append(c.args);
        const CliRun r = run(dir, args);
        EXPECT_EQ(r.code, 2);
        EXPECT_EQ(r.err.substr(0, r.err.find('\n') + 1), c.message);
        EXPECT_EQ(r.out, "");
    }
    WebsiteDb db(dir.path(), StoreSettings{});
    const std::optional<StoreRow> row = db.lookupRow(listed);
    ASSERT_TRUE(row);
    EXPECT_TRUE(row->isNull(u"REGEX"));
    EXPECT_TRUE(row->isNull(u"XPATH"));

    EXPECT_EQ(run(dir, {QStringLiteral("set"), listed, QStringLiteral("--regex"), QStringLiteral("ab(c)"),
                        QStringLiteral("--xpath"), QStringLiteral("//div[@class='x']")})
                  .code,
              0);
}

} // namespace
