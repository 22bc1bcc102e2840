#include "cli/clitesting.h"
#include "storage/websitedb.h"
#include "support/qtext.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sstream>

using namespace sentrel;
using namespace sentrel::cli;

namespace {

using sentrel::test::CliRun;

// sentrel-cli on a data folder of its own.
class StoreCli : public ::testing::Test {
protected:
    CliRun run(const QStringList &args) const { return sentrel::test::runCliOn(dir_.path(), args); }
    std::unique_ptr<WebsiteDb> store() const
    {
        return std::make_unique<WebsiteDb>(dir_.path(), StoreSettings{});
    }
    QString storePath() const { return dir_.filePath(QStringLiteral("websites.db")); }
    static std::string utf8(const QString &s) { return s.toStdString(); }

    QTemporaryDir dir_;
};

TEST_F(StoreCli, AddPrintsWhatWasStoredAndSkipsListedUrls)
{
    CliRun r =
        run({QStringLiteral("add"), QStringLiteral(" example.com "), QStringLiteral("https://b.example/"),
             QStringLiteral("http://example.com"), QStringLiteral("  ")});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "http://example.com\nhttps://b.example/\n");
    EXPECT_EQ(r.err, "");
    r = run({QStringLiteral("add"), QStringLiteral("example.com"), QStringLiteral("http://EXAMPLE.com")});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "http://EXAMPLE.com\n");
    r = run({QStringLiteral("list")});
    EXPECT_EQ(r.out, "http://example.com\t\t\nhttps://b.example/\t\t\nhttp://EXAMPLE.com\t\t\n");
}

TEST_F(StoreCli, ListShowsLocalLastChangeAndStoredStatus)
{
    run({QStringLiteral("add"), QStringLiteral("a.example"), QStringLiteral("b.example")});
    store()->DbSaveWebsite(QStringLiteral("http://b.example"), QStringLiteral("x"),
                           QStringLiteral("Changed!"));
    const CliRun r = run({QStringLiteral("list")});
    ASSERT_EQ(r.code, 0);
    const QStringList lines = QString::fromStdString(r.out).split(u'\n');
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[0], u"http://a.example\t\t");
    const QStringList cells = lines[1].split(u'\t');
    ASSERT_EQ(cells.size(), 3);
    EXPECT_EQ(cells[0], u"http://b.example");
    EXPECT_EQ(cells[1], store()->DbLoadWebsites()[1].lastChange);
    EXPECT_EQ(cells[1].size(), 19);
    EXPECT_EQ(cells[2], u"Changed!");
}

TEST_F(StoreCli, ShowPrintsTheStoredTextByteForByte)
{
    const QString text = u16(u"first 'line'\r\nsecond 😀 \u00E9\r\n");
    run({QStringLiteral("add"), QStringLiteral("a.example")});
    CliRun r = run({QStringLiteral("show"), QStringLiteral("http://a.example")});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "") << "nothing before the first check";
    store()->DbSaveWebsite(QStringLiteral("http://a.example"), text, QStringLiteral("OK"));
    r = run({QStringLiteral("show"), QStringLiteral("http://a.example")});
    EXPECT_EQ(r.out, utf8(text));
    r = run({QStringLiteral("show"), QStringLiteral("a.example")});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "Not in the list: a.example\n");
}

TEST_F(StoreCli, SetChangesWhatIsGivenKeepsTheRestAndClearsTheText)
{
    run({QStringLiteral("add"), QStringLiteral("a.example")});
    const QString url = QStringLiteral("http://a.example");
    const QString keyword = u16(u"it's \"here\"\n😀");
    CliRun r = run({QStringLiteral("set"), url, QStringLiteral("--keyword"), keyword,
                    QStringLiteral("--lines"), QStringLiteral("0:25"), QStringLiteral("--strip=no")});
    ASSERT_EQ(r.code, 0) << r.err;
    store()->DbSaveWebsite(url, QStringLiteral("text"), QStringLiteral("OK"));
    r = run({QStringLiteral("set"), url, QStringLiteral("--regex"), QStringLiteral("[a-z]+'"),
             QStringLiteral("--url"), QStringLiteral("https://renamed.example/")});
    ASSERT_EQ(r.code, 0) << r.err;

    auto db = store();
    EXPECT_FALSE(db->lookupRow(url));
    auto row = db->lookupRow(QStringLiteral("https://renamed.example/"));
    ASSERT_TRUE(row);
    EXPECT_EQ(row->text(u"STRIP"), u"NO");
    EXPECT_EQ(row->text(u"LINESTART"), u"0");
    EXPECT_EQ(row->text(u"LINESTOP"), u"25");
    EXPECT_EQ(row->text(u"KEYWORD"), keyword);
    EXPECT_EQ(row->text(u"REGEX"), u"[a-z]+'");
    EXPECT_TRUE(row->isNull(u"XPATH"));
    EXPECT_TRUE(row->isNull(u"CONTENT"));
    EXPECT_TRUE(row->isNull(u"LASTCHANGE"));
    EXPECT_TRUE(row->isNull(u"STATUS"));

    r = run({QStringLiteral("set"), QStringLiteral("https://renamed.example/"), QStringLiteral("--no-lines"),
             QStringLiteral("--no-keyword"), QStringLiteral("--xpath="), QStringLiteral("--strip"),
             QStringLiteral("YES")});
    ASSERT_EQ(r.code, 0) << r.err;
    row = store()->lookupRow(QStringLiteral("https://renamed.example/"));
    EXPECT_EQ(row->text(u"STRIP"), u"YES");
    EXPECT_TRUE(row->isNull(u"LINESTART"));
    EXPECT_TRUE(row->isNull(u"KEYWORD"));
    EXPECT_FALSE(row->isNull(u"XPATH")) << "--xpath= stores an empty text";
    EXPECT_EQ(row->text(u"REGEX"), u"[a-z]+'");
}

TEST_F(StoreCli, SetOfAnUnlistedUrlFails)
{
    const CliRun r = run({QStringLiteral("set"), QStringLiteral("http://none/"), QStringLiteral("--strip"),
                          QStringLiteral("no")});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "Not in the list: http://none/\n");
}

TEST_F(StoreCli, DeleteRemovesListedUrlsAndReportsTheOthers)
{
    run({QStringLiteral("add"), QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
    const CliRun r = run({QStringLiteral("delete"), QStringLiteral("http://a"), QStringLiteral("b"),
                          QStringLiteral("http://c")});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "Not in the list: b\n");
    EXPECT_EQ(run({QStringLiteral("list")}).out, "http://b\t\t\n");
}

TEST_F(StoreCli, WrongUseExitsTwoAndCreatesNoStore)
{
    const struct {
        const char *name;
        QStringList args;
    } cases[] = {
        {"add without URL", {QStringLiteral("add")}},
        {"list with an argument", {QStringLiteral("list"), QStringLiteral("x")}},
        {"show of two URLs", {QStringLiteral("show"), QStringLiteral("a"), QStringLiteral("b")}},
        {"delete without URL", {QStringLiteral("delete")}},
        {"set without URL", {QStringLiteral("set"), QStringLiteral("--strip"), QStringLiteral("no")}},
        {"strip neither yes nor no",
         {QStringLiteral("set"), QStringLiteral("u"), QStringLiteral("--strip=maybe")}},
        {"lines without a colon",
         {QStringLiteral("set"), QStringLiteral("u"), QStringLiteral("--lines"), QStringLiteral("5")}},
        {"lines not numbers", {QStringLiteral("set"), QStringLiteral("u"), QStringLiteral("--lines=a:b")}},
        {"negative line", {QStringLiteral("set"), QStringLiteral("u"), QStringLiteral("--lines=-1:4")}},
        {"line beyond the range",
         {QStringLiteral("set"), QStringLiteral("u"), QStringLiteral("--lines=1:1000000000")}},
        {"an option and its opposite",
         {QStringLiteral("set"), QStringLiteral("u"), QStringLiteral("--keyword=k"),
          QStringLiteral("--no-keyword")}},
        {"unknown option", {QStringLiteral("set"), QStringLiteral("u"), QStringLiteral("--colour")}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const CliRun r = run(c.args);
        EXPECT_EQ(r.code, 2);
        EXPECT_EQ(r.out, "");
        EXPECT_FALSE(r.err.empty());
        EXPECT_FALSE(QFileInfo::exists(storePath()));
    }
}

TEST_F(StoreCli, FileThatIsNoDatabaseIsReportedAndLeftAlone)
{
    const QByteArray junk = QByteArray("not a database at all, but someone's notes\n").repeated(30);
    {
        QFile f(storePath());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(junk);
    }
    const CliRun r = run({QStringLiteral("add"), QStringLiteral("a.example")});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "Exception raised with message: file is not a database (" + utf8(storePath()) + ")\n");
    QFile f(storePath());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), junk);
}

TEST_F(StoreCli, MissingDataFolderIsCreated)
{
    std::istringstream in;
    std::ostringstream out, err;
    CliIo io{in, out, err};
    const QString nested = dir_.filePath(QStringLiteral("new/data"));
    EXPECT_EQ(runCli({QStringLiteral("--data"), nested, QStringLiteral("add"), QStringLiteral("a")}, io), 0)
        << err.str();
    EXPECT_TRUE(QFileInfo::exists(nested + QStringLiteral("/websites.db")));
}

} // namespace
