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
    EXPECT_EQ(r.err, "2 added, 1 already listed\n");
    r = run({QStringLiteral("add"), QStringLiteral("example.com"), QStringLiteral("http://EXAMPLE.com")});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "http://EXAMPLE.com\n");
    EXPECT_EQ(r.err, "1 added, 1 already listed\n");
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
    r = run({QStringLiteral("show"), QStringLiteral("b.example")});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "Not in the list: b.example\n");
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
    const CliRun r = run({QStringLiteral("delete"), QStringLiteral("http://a"), QStringLiteral("d"),
                          QStringLiteral("http://c")});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "Not in the list: d\n");
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

TEST_F(StoreCli, UrlArgumentsAreReadAsAddReadsThem)
{
    ASSERT_EQ(
        run({QStringLiteral("add"), QStringLiteral("127.0.0.1:8080/a"), QStringLiteral("b.example")}).code,
        0);
    const QString stored = QStringLiteral("http://127.0.0.1:8080/a");
    store()->DbSaveWebsite(stored, QStringLiteral("the stored text"), QStringLiteral("OK"));
    // The options dialog renames a row as typed: that text finds it as it is.
    ASSERT_EQ(run({QStringLiteral("set"), QStringLiteral("b.example"), QStringLiteral("--url"),
                   QStringLiteral("renamed")})
                  .code,
              0);

    for (const QString &typed : {QStringLiteral("127.0.0.1:8080/a"), QStringLiteral(" 127.0.0.1:8080/a\t")}) {
        SCOPED_TRACE(typed.toStdString());
        const CliRun r = run({QStringLiteral("show"), typed});
        EXPECT_EQ(r.code, 0) << r.err;
        EXPECT_EQ(r.out, "the stored text");
    }
    EXPECT_EQ(run({QStringLiteral("show"), QStringLiteral("renamed")}).code, 0);

    CliRun r = run({QStringLiteral("set"), QStringLiteral("127.0.0.1:8080/a"), QStringLiteral("--strip=no")});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(store()->lookupRow(stored)->text(u"STRIP"), u"NO");

    r = run({QStringLiteral("delete"), QStringLiteral("127.0.0.1:8080/a"), QStringLiteral("renamed")});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(run({QStringLiteral("list")}).out, "");
}

TEST_F(StoreCli, AddRefusesWhatCannotBeAWebAddressAndAddsNothing)
{
    const struct {
        const char *name;
        QString url;
        const char *why;
    } cases[] = {
        {"control character", QStringLiteral("http://a.example/x\x01y"), "control character (U+0001)"},
        {"blank inside", QStringLiteral("exa mple.com"), "holds a blank"},
        {"file scheme", QStringLiteral("file:///etc/passwd"), "scheme is \"file:\""},
        {"ftp scheme", QStringLiteral("FTP://files.example/"), "scheme is \"FTP:\""},
        {"javascript", QStringLiteral("javascript:alert(1)"), "scheme is \"javascript:\""},
        {"one slash after the scheme", QStringLiteral("https:/a.example"),
         "\"https:\" is not followed by \"//\""},
        {"no host", QStringLiteral("http:///path"), "no host"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const CliRun r = run({QStringLiteral("add"), QStringLiteral("fine.example"), c.url});
        EXPECT_EQ(r.code, 2);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err.rfind("sentrel-cli add: not a web address: \"" + utf8(c.url) + "\": ", 0), 0u)
            << r.err;
        EXPECT_NE(r.err.find(c.why), std::string::npos) << r.err;
        EXPECT_FALSE(QFileInfo::exists(storePath())) << "nothing added, no store made";
    }

    CliRun r = run({QStringLiteral("add"), QStringLiteral("ftp://f.example/"), QStringLiteral("a b")});
    EXPECT_EQ(r.code, 2);
    EXPECT_NE(r.err.find("\"ftp://f.example/\""), std::string::npos) << "every one is named: " << r.err;
    EXPECT_NE(r.err.find("\"a b\""), std::string::npos) << r.err;

    // Hosts with a port, addresses, user names and letter case are web addresses.
    r = run({QStringLiteral("add"), QStringLiteral("localhost:8080/a"), QStringLiteral("127.0.0.1:8080"),
             QStringLiteral("[::1]:81/"), QStringLiteral("user@host.example/"),
             QStringLiteral("HTTPS://Example.com/x?q=1#f"), QStringLiteral("b\u00FCcher.example/\u00E4")});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "http://localhost:8080/a\nhttp://127.0.0.1:8080\nhttp://[::1]:81/\n"
                     "http://user@host.example/\nHTTPS://Example.com/x?q=1#f\n"
                     "http://b\u00FCcher.example/\u00E4\n");

    r = run({QStringLiteral("add"), QStringLiteral("--raw"), QStringLiteral("ftp://f.example/")});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "http://ftp://f.example/\n") << "added as the desktop list adds it";
}

TEST_F(StoreCli, AddReadsOneUrlALineFromStandardInputOrAFile)
{
    const auto runWith = [this](const QStringList &args, const std::string &input = {}) {
        return sentrel::test::runCliOn(dir_.path(), args, input);
    };
    CliRun r = runWith({QStringLiteral("add"), QStringLiteral("-")},
                       "a.example\n\n   \r\nb.example\r\nhttp://a.example\n");
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "http://a.example\nhttp://b.example\n");
    EXPECT_EQ(r.err, "2 added, 1 already listed\n");

    const QString file = dir_.filePath(QStringLiteral("list.txt"));
    const auto write = [&file](const QByteArray &bytes) {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    };
    write("c.example/gr\374\337e\r\nb.example\r\n"); // Windows-1252
    r = runWith({QStringLiteral("add"), QStringLiteral("--file"), file, QStringLiteral("d.example")});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "http://d.example\nhttp://c.example/gr\u00FC\u00DFe\n");
    EXPECT_EQ(r.err, "2 added, 1 already listed\n");

    write("e.example\nftp://f.example/\n");
    r = runWith({QStringLiteral("add"), QStringLiteral("--file=") + file});
    EXPECT_EQ(r.code, 2);
    EXPECT_NE(r.err.find("(line 2 of " + utf8(file) + "): \"ftp://f.example/\""), std::string::npos) << r.err;
    EXPECT_EQ(run({QStringLiteral("show"), QStringLiteral("e.example")}).code, 1) << "no line was added";

    r = runWith({QStringLiteral("add"), QStringLiteral("--file"), dir_.filePath(QStringLiteral("none.txt"))});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("none.txt"), std::string::npos) << r.err;
}

TEST_F(StoreCli, CommandsThatReadTheListDoNotCreateAMissingDataFolder)
{
    const QString missing = dir_.filePath(QStringLiteral("mistyped"));
    const struct {
        const char *name;
        QStringList args;
    } cases[] = {
        {"list", {QStringLiteral("list")}},
        {"show", {QStringLiteral("show"), QStringLiteral("a.example")}},
        {"show options", {QStringLiteral("show"), QStringLiteral("a.example"), QStringLiteral("--options")}},
        {"exclusions", {QStringLiteral("exclusions")}},
        {"set", {QStringLiteral("set"), QStringLiteral("a.example"), QStringLiteral("--strip=no")}},
        {"delete", {QStringLiteral("delete"), QStringLiteral("a.example")}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const CliRun r = sentrel::test::runCliOn(missing, c.args);
        EXPECT_EQ(r.code, 1);
        EXPECT_EQ(r.out, "");
        EXPECT_NE(r.err.find(utf8(QDir::toNativeSeparators(missing))), std::string::npos) << r.err;
        EXPECT_NE(r.err.find("does not exist"), std::string::npos) << r.err;
        EXPECT_FALSE(QFileInfo::exists(missing));
    }
}

TEST_F(StoreCli, AnEmptyDataFolderNameIsWrongUse)
{
    // Were it taken for "no --data", the desktop program's folder would be
    // used: that one is put where this test can see it.
    QTemporaryDir home;
    const QByteArray before = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", home.path().toUtf8());
    for (const QStringList &args : {QStringList{QStringLiteral("--data"), QString(), QStringLiteral("list")},
                                    QStringList{QStringLiteral("--data="), QStringLiteral("list")},
                                    QStringList{QStringLiteral("list"), QStringLiteral("--data")}}) {
        SCOPED_TRACE(args.join(u' ').toStdString());
        const CliRun r = sentrel::test::runCliWith(args);
        EXPECT_EQ(r.code, 2);
        EXPECT_EQ(r.out, "");
        EXPECT_FALSE(r.err.empty());
    }
    EXPECT_TRUE(QDir(home.path()).isEmpty()) << "the desktop program's folder was used";
    qputenv("XDG_DATA_HOME", before);
}

TEST_F(StoreCli, SetWithoutAnOptionOrWithOneTwiceIsWrongUseAndKeepsTheText)
{
    run({QStringLiteral("add"), QStringLiteral("a.example")});
    const QString url = QStringLiteral("http://a.example");
    store()->DbSaveWebsite(url, QStringLiteral("kept"), QStringLiteral("OK"));
    const struct {
        const char *name;
        QStringList options;
        const char *message;
    } cases[] = {
        {"no option", {}, "expects at least one option"},
        {"a text option twice",
         {QStringLiteral("--regex"), QStringLiteral("a"), QStringLiteral("--regex"), QStringLiteral("b")},
         "--regex given twice"},
        {"both spellings of one option",
         {QStringLiteral("--strip=no"), QStringLiteral("--strip"), QStringLiteral("yes")},
         "--strip given twice"},
        {"a switch twice",
         {QStringLiteral("--no-lines"), QStringLiteral("--no-lines")},
         "--no-lines given twice"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const CliRun r = run(QStringList{QStringLiteral("set"), url} + c.options);
        EXPECT_EQ(r.code, 2);
        EXPECT_EQ(r.err.rfind(std::string("sentrel-cli set: ") + c.message, 0), 0u) << r.err;
        EXPECT_EQ(store()->lookupRow(url)->text(u"CONTENT"), u"kept");
    }
    EXPECT_NE(run({QStringLiteral("set"), QStringLiteral("--help")}).out.find("lines count from 0"),
              std::string::npos);
}

TEST_F(StoreCli, ShowOptionsPrintsOneNameValueLineForEachOption)
{
    run({QStringLiteral("add"), QStringLiteral("a.example")});
    CliRun r = run({QStringLiteral("show"), QStringLiteral("a.example"), QStringLiteral("--options")});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "url: http://a.example\nstrip: yes\nlines:\nkeyword:\nxpath:\nregex:\n");

    ASSERT_EQ(
        run({QStringLiteral("set"), QStringLiteral("a.example"), QStringLiteral("--strip=no"),
             QStringLiteral("--lines=0:7"), QStringLiteral("--keyword=Price: "), QStringLiteral("--xpath"),
             QStringLiteral("//div[@id='p']"), QStringLiteral("--regex"), QStringLiteral("[0-9]+")})
            .code,
        0);
    r = run({QStringLiteral("show"), QStringLiteral("--options"), QStringLiteral("http://a.example")});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "url: http://a.example\nstrip: no\nlines: 0:7\nkeyword: Price: \nxpath: //div[@id='p']\n"
                     "regex: [0-9]+\n");
}

// Two rows of one URL would be checked, shown and deleted as one.
TEST_F(StoreCli, SetRefusesToRenameOntoAListedUrlAndChangesNothing)
{
    run({QStringLiteral("add"), QStringLiteral("a.example"), QStringLiteral("b.example")});
    const QString a = QStringLiteral("http://a.example");
    store()->DbSaveWebsite(a, QStringLiteral("kept"), QStringLiteral("OK"));
    for (const QString &onto : {QStringLiteral("http://b.example"), QStringLiteral(" http://b.example\t")}) {
        SCOPED_TRACE(onto.toStdString());
        const CliRun r = run({QStringLiteral("set"), a, QStringLiteral("--url"), onto,
                              QStringLiteral("--keyword"), QStringLiteral("k")});
        EXPECT_EQ(r.code, 1);
        EXPECT_EQ(r.err, "Already in the list: http://b.example\n");
        EXPECT_EQ(r.out, "");
        const auto rows = store()->DbLoadWebsites();
        ASSERT_EQ(rows.size(), 2u);
        EXPECT_EQ(rows[0].url, a);
        EXPECT_EQ(rows[1].url, u"http://b.example");
        const auto row = store()->lookupRow(a);
        ASSERT_TRUE(row);
        EXPECT_EQ(row->text(u"CONTENT"), u"kept");
        EXPECT_TRUE(row->isNull(u"KEYWORD"));
    }
    // Letter case counts, as for add: that is another URL.
    EXPECT_EQ(
        run({QStringLiteral("set"), a, QStringLiteral("--url"), QStringLiteral("http://B.example")}).code, 0);
    EXPECT_EQ(store()->DbLoadWebsites().size(), 2u);
}

// A settings file with one byte of the 8-bit code page is read, not deleted;
// one that cannot be read is moved aside and the run says so on stderr.
TEST_F(StoreCli, CheckKeepsAnEightBitSettingsFileAndMovesAsideOneItCannotRead)
{
    const QString ini = dir_.filePath(QStringLiteral("settings.ini"));
    const auto put = [&](const QByteArray &bytes) {
        QFile f(ini);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    };
    const auto bytesOf = [](const QString &path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    };
    const QByteArray eightBit("[Settings]\r\nShowMessage=ON\r\nMyKey=caf\xE9\r\n");
    put(eightBit);
    CliRun r = run({QStringLiteral("check"), QStringLiteral("--all")});
    EXPECT_EQ(r.err.find("settings"), std::string::npos) << r.err;
    EXPECT_EQ(bytesOf(ini), eightBit);

    const QByteArray zeroed(32, '\0');
    put(zeroed);
    r = run({QStringLiteral("check"), QStringLiteral("--all")});
    const QStringList aside =
        QDir(dir_.path()).entryList({QStringLiteral("settings.ini.bad-*")}, QDir::Files);
    ASSERT_EQ(aside.size(), 1);
    EXPECT_EQ(bytesOf(dir_.filePath(aside[0])), zeroed);
    EXPECT_FALSE(QFileInfo::exists(ini));
    EXPECT_NE(
        r.err.find("The settings file \"" + utf8(QDir::toNativeSeparators(ini)) + "\" could not be read"),
        std::string::npos)
        << r.err;
    EXPECT_NE(r.err.find(utf8(aside[0])), std::string::npos) << r.err;
}

} // namespace
