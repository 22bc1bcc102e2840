#include "check/checkurl.h"
#include "check/enginetesting.h"
#include "check/reductioncache.h"
#include "support/qtext.h"
#include "text/regex.h"
#include <gtest/gtest.h>
#include <thread>

using namespace sentrel;
using namespace sentrel::enginetest;

namespace {

const QString Url = QStringLiteral("http://example.test/");
const QString Time = QStringLiteral("2024-03-07 09:05:03");

class CheckUrl : public testing::Test, protected EngineFixture {
protected:
    CheckUrl() { rows.add(Url, QStringLiteral("earlier"), QStringLiteral("before")); }
    void page(const QString &text) { loader.pages.insert(Url, text); }
    UrlListRow row() const { return rows.row(0); }
};

TEST_F(CheckUrl, AFirstCheckSavesTheTextAsOkWithoutReportingAChange)
{
    page(QStringLiteral("<p>Hello</p>"));
    check(rows.id(0));
    EXPECT_EQ(row().status, u"OK");
    EXPECT_EQ(row().lastChange, Time);
    EXPECT_TRUE(display.log.isEmpty());
    EXPECT_TRUE(changed.isEmpty());
    ASSERT_EQ(store.saves.size(), 1u);
    EXPECT_EQ(store.saves[0], (Saved{Url, QStringLiteral("Hello"), QStringLiteral("OK")}));
}

TEST_F(CheckUrl, AnUnchangedPageIsOkAndNothingIsSaved)
{
    store.rows[Url] = storedAs(QStringLiteral("Hello"), QStringLiteral("Changed!"));
    page(QStringLiteral("<p>Hello</p>"));
    check(rows.id(0));
    EXPECT_EQ(row().status, u"OK");
    EXPECT_EQ(row().lastChange, u"earlier");
    EXPECT_TRUE(store.saves.empty());
    EXPECT_TRUE(display.log.isEmpty());
}

TEST_F(CheckUrl, AChangedPageIsLoggedListedAndSavedAsChanged)
{
    store.rows[Url] = storedAs(QStringLiteral("Old"), QStringLiteral("OK"));
    page(QStringLiteral("<p>New</p>"));
    check(rows.id(0));
    EXPECT_EQ(row().status, u"Changed!");
    EXPECT_EQ(row().lastChange, Time);
    EXPECT_EQ(display.log, QStringList{Time + QStringLiteral(" (Changed) ") + Url});
    EXPECT_EQ(changed, QStringList{Url});
    ASSERT_EQ(store.saves.size(), 1u);
    EXPECT_EQ(store.saves[0], (Saved{Url, QStringLiteral("New"), QStringLiteral("Changed!")}));
}

TEST_F(CheckUrl, AFirstCheckSavesAnEmptyTextSoTheWatchedTextAppearingIsAChange)
{
    CheckOptions onlyStock;
    onlyStock.keyword = QStringLiteral("in stock");
    store.rows[Url] = storedAs(QString(), QString(), onlyStock);
    page(QStringLiteral("Sold out"));
    check(rows.id(0));
    EXPECT_EQ(row().status, u"OK");
    EXPECT_EQ(row().lastChange, Time);
    EXPECT_TRUE(changed.isEmpty());
    EXPECT_TRUE(display.log.isEmpty());
    ASSERT_EQ(store.saves.size(), 1u);
    EXPECT_EQ(store.saves[0], (Saved{Url, QString(), QStringLiteral("OK")}));

    page(QStringLiteral("Sold out\nIN STOCK"));
    check(rows.id(0));
    EXPECT_EQ(row().status, u"Changed!");
    EXPECT_EQ(changed, QStringList{Url});
    EXPECT_EQ(display.log, QStringList{Time + QStringLiteral(" (Changed) ") + Url});
    ASSERT_EQ(store.saves.size(), 2u);
    EXPECT_EQ(store.saves[1], (Saved{Url, QStringLiteral("IN STOCK"), QStringLiteral("Changed!")}));
}

TEST_F(CheckUrl, AnEmptyTextAlreadySavedIsNoChangeAndNotSavedAgain)
{
    CheckOptions keyword;
    keyword.keyword = QStringLiteral("x");
    store.rows[Url] = storedAs(QString(), QStringLiteral("OK"), keyword);
    page(QStringLiteral("nothing"));
    check(rows.id(0));
    EXPECT_EQ(row().status, u"OK");
    EXPECT_EQ(row().lastChange, u"earlier");
    EXPECT_TRUE(store.saves.empty());
}

TEST_F(CheckUrl, TextsThatDifferOnlyInSurroundingWhiteSpaceAreEqual)
{
    store.rows[Url] = storedAs(QStringLiteral("\r\n  Hello\r\n\r\n"), QStringLiteral("OK"));
    page(QStringLiteral("\n\n<p>Hello</p>\t \n"));
    check(rows.id(0));
    EXPECT_EQ(row().status, u"OK");
    EXPECT_TRUE(store.saves.empty());
}

TEST_F(CheckUrl, TheComparisonIsByCodeUnitSoLetterCaseIsAChange)
{
    store.rows[Url] = storedAs(QStringLiteral("hello"), QStringLiteral("OK"));
    page(QStringLiteral("Hello"));
    check(rows.id(0));
    EXPECT_EQ(row().status, u"Changed!");
}

TEST_F(CheckUrl, AChangeToAnEmptyTextIsReportedAndSaved)
{
    CheckOptions xpath;
    xpath.xpath = QStringLiteral("//nothing");
    store.rows[Url] = storedAs(QStringLiteral("Old"), QStringLiteral("OK"), xpath);
    page(QStringLiteral("<p>x</p>"));
    check(rows.id(0));
    EXPECT_EQ(row().status, u"Changed!");
    ASSERT_EQ(store.saves.size(), 1u);
    EXPECT_EQ(store.saves[0].content, u"");
}

struct FailureCase {
    const char *name;
    QString page;     // what the loader gives: "!" + message for a failure
    QString expected; // the status and the log line's error text
};

TEST_F(CheckUrl, AFailedDownloadBecomesTheStatusAndALogLineAndNothingIsSaved)
{
    const FailureCase cases[] = {
        {"HTTP/1.1 is removed", QStringLiteral("!HTTP/1.1 404 Not Found"), QStringLiteral("404 Not Found")},
        {"other versions stay whole", QStringLiteral("!HTTP/1.0 404 Not Found"),
         QStringLiteral("HTTP/1.0 404 Not Found")},
        {"the removal minds letter case", QStringLiteral("!http/1.1 500 Oops"),
         QStringLiteral("http/1.1 500 Oops")},
        {"only a leading status line", QStringLiteral("!Bad HTTP/1.1 x"), QStringLiteral("Bad HTTP/1.1 x")},
        {"any other failure", QStringLiteral("!Read timed out."), QStringLiteral("Read timed out.")},
        {"a body of white space", QStringLiteral(" \r\n\t "), QStringLiteral("Empty Response")},
        {"no body at all", QString(), QStringLiteral("Empty Response")},
    };
    store.rows[Url] = storedAs(QStringLiteral("Old"), QStringLiteral("OK"));
    for (const FailureCase &c : cases) {
        SCOPED_TRACE(c.name);
        display.log.clear();
        page(c.page);
        check(rows.id(0));
        EXPECT_EQ(row().status, c.expected);
        EXPECT_EQ(display.log,
                  QStringList{Time + QStringLiteral(" (Error: ") + c.expected + QStringLiteral(") ") + Url});
        EXPECT_EQ(row().lastChange, u"earlier");
        EXPECT_EQ(display.statusText, u"");
    }
    EXPECT_TRUE(store.saves.empty());
    EXPECT_TRUE(changed.isEmpty());
    EXPECT_EQ(store.rows[Url].content.value_or(QString()), u"Old");
}

TEST_F(CheckUrl, TheStepsComeInTheirOrder)
{
    // Status bar, lookup, check time, messages, download, display.
    rows.model.rename(rows.id(0), QStringLiteral("  ") + Url + QStringLiteral(" \t"));
    page(QStringLiteral("Hello"));
    pump.onPump = [this] {
        EXPECT_EQ(display.statusText, QStringLiteral("Loading ") + Url + QStringLiteral("..."));
        EXPECT_EQ(store.lookups, 1);
        EXPECT_TRUE(loader.requested.isEmpty());
        clock.now = clock.now.addSecs(3600); // the check time is already taken
    };
    check(rows.id(0));
    EXPECT_EQ(pump.count, 1);
    EXPECT_EQ(loader.requested, QStringList{Url}) << "the URL is the caption trimmed";
    EXPECT_EQ(row().lastChange, Time);
    EXPECT_EQ(store.saves.at(0).url, Url);
    EXPECT_EQ(display.statusHistory,
              (QStringList{QStringLiteral("Loading ") + Url + QStringLiteral("..."), QString()}));
}

TEST_F(CheckUrl, TheStripMethodAndExclusionsAreReadWhenThePageIsThere)
{
    page(QStringLiteral("a<br>b<br>Visitor Number: 7"));
    loader.duringLoad = [this] {
        preferences.method = StripMethod::Browser;
        preferences.exclusionList = {QStringLiteral("Visitor")};
    };
    check(rows.id(0));
    EXPECT_EQ(store.saves.at(0).content, u"a\r\nb");
}

TEST_F(CheckUrl, ARowNoLongerListedIsNoCheck)
{
    const RowId gone = rows.id(0);
    rows.remove(0);
    check(gone);
    check(RowId(0)); // never given to a row
    EXPECT_EQ(store.lookups, 0);
    EXPECT_TRUE(display.statusHistory.isEmpty());
}

struct ReductionFailure {
    const char *name;
    QString strip, xpath, regex; // the options set
    StripMethod method;
    QString page;
    QString error; // the row's status and the log line's error text
};

TEST_F(CheckUrl, AnErrorOfAReductionStepIsTheRowsErrorAndNothingIsSaved)
{
    const QString tooMuchBacktracking = QStringLiteral(
        "Error in regular expression: the search was stopped because the pattern backtracks too much on "
        "this page (match limit exceeded)");
    const ReductionFailure cases[] = {
        {"invalid pattern",
         {},
         {},
         QStringLiteral("ab("),
         StripMethod::Regex,
         QStringLiteral("abc"),
         QStringLiteral("Error in regular expression at offset 3: missing closing parenthesis")},
        {"runaway pattern",
         QStringLiteral("NO"),
         {},
         QStringLiteral("(a+)+$"),
         StripMethod::Regex,
         QString(40, u'a') + u'!',
         tooMuchBacktracking},
        {"XPath without steps",
         QStringLiteral("NO"),
         QStringLiteral("div"),
         {},
         StripMethod::Regex,
         QStringLiteral("<div>x</div>"),
         QStringLiteral("XPath is not correct or empty.")},
        {"XPath predicate on a step this page never reaches",
         QStringLiteral("NO"),
         QStringLiteral("//div/span[@class]"),
         {},
         StripMethod::Regex,
         QStringLiteral("<p>x</p>"),
         QStringLiteral("Attribute not found: class")},
        {"reference without digits, regex strip",
         {},
         {},
         {},
         StripMethod::Regex,
         QStringLiteral("<p>a &#; b</p>"),
         QStringLiteral("'' is not a valid integer value")},
        {"hex reference without digits, string-builder strip",
         {},
         {},
         {},
         StripMethod::StringBuilder,
         QStringLiteral("a &#x; b"),
         QStringLiteral("'$' is not a valid integer value")},
        {"reference beyond 32 bits",
         {},
         {},
         {},
         StripMethod::Regex,
         QStringLiteral("&#99999999999;"),
         QStringLiteral("'99999999999' is not a valid integer value")},
    };
    for (const ReductionFailure &c : cases) {
        SCOPED_TRACE(c.name);
        CheckOptions options;
        options.strip = c.strip != u"NO";
        options.xpath = c.xpath;
        options.regex = c.regex;
        store.rows[Url] = storedAs(QStringLiteral("Old"), QStringLiteral("OK"), options);
        preferences.method = c.method;
        display.log.clear();
        page(c.page);
        EXPECT_NO_THROW(check(rows.id(0)));
        EXPECT_EQ(row().status, c.error);
        EXPECT_EQ(display.log,
                  QStringList{Time + QStringLiteral(" (Error: ") + c.error + QStringLiteral(") ") + Url});
        EXPECT_EQ(display.statusText, u"");
    }
    EXPECT_EQ(row().lastChange, u"earlier");
    EXPECT_TRUE(store.saves.empty());
    EXPECT_TRUE(changed.isEmpty());
}

TEST_F(CheckUrl, AFirstCheckThatFailsToReduceSavesNothing)
{
    CheckOptions badPattern;
    badPattern.regex = QStringLiteral("(");
    store.rows[Url] = storedAs(QString(), QString(), badPattern);
    page(QStringLiteral("x"));
    check(rows.id(0));
    EXPECT_EQ(row().status, u"Error in regular expression at offset 1: missing closing parenthesis");
    EXPECT_TRUE(store.saves.empty());
}

TEST_F(CheckUrl, AnErrorOfAReductionMadeAheadOnAnotherThreadIsTheRowsErrorToo)
{
    CheckOptions badPattern;
    badPattern.regex = QStringLiteral("(");
    store.rows[Url] = storedAs(QStringLiteral("Old"), QStringLiteral("OK"), badPattern);
    page(QStringLiteral("x"));
    ReductionCache ahead;
    std::thread([&] { ahead.prepare(Url, QStringLiteral("x"), badPattern, preferences.method, {}); }).join();
    ASSERT_EQ(ahead.size(), 1);
    CheckServices services = engine.services();
    services.reducer = &ahead;
    CheckEngine withAhead(services);
    EXPECT_NO_THROW(recordChange(withAhead.check(rows.id(0))));
    EXPECT_EQ(ahead.size(), 0) << "the check took the reduction made ahead";
    EXPECT_EQ(row().status, u"Error in regular expression at offset 1: missing closing parenthesis");
    EXPECT_EQ(display.log.size(), 1);
    EXPECT_TRUE(store.saves.empty());
}

TEST_F(CheckUrl, AnErrorStatusOfSeveralLinesIsOneLogLine)
{
    page(QStringLiteral("!Socket Error # 111\r\nConnection refused"));
    check(rows.id(0));
    EXPECT_EQ(row().status, u"Socket Error # 111\r\nConnection refused") << "the cell keeps the text";
    EXPECT_EQ(display.log,
              QStringList{Time + QStringLiteral(" (Error: Socket Error # 111: Connection refused) ") + Url});
}

TEST_F(CheckUrl, AFailedLookupIsReportedAndTheCheckGoesOnAsAFirstCheck)
{
    store.failLookup = true;
    page(QStringLiteral("<b>Hello</b>"));
    check(rows.id(0));
    EXPECT_EQ(storeErrors.texts,
              QStringList{QStringLiteral("Exception raised with message: database is locked")});
    EXPECT_EQ(row().status, u"OK");
    ASSERT_EQ(store.saves.size(), 1u);
    EXPECT_EQ(store.saves[0].content, u"Hello") << "stripped, as for a URL without options";
}

TEST_F(CheckUrl, AFailedSaveIsReportedAndTheStatusIsStillShown)
{
    store.rows[Url] = storedAs(QStringLiteral("Old"), QStringLiteral("OK"));
    store.failSave = true;
    page(QStringLiteral("New"));
    check(rows.id(0));
    EXPECT_EQ(storeErrors.texts,
              QStringList{QStringLiteral("Exception raised with message: disk I/O error")});
    EXPECT_EQ(row().status, u"Changed!");
    EXPECT_EQ(display.statusText, u"");
}

TEST(CheckTexts, HaveTheirExactForm)
{
    EXPECT_EQ(checkTimeText(QDateTime(QDate(987, 1, 2), QTime(23, 4, 5))), u"0987-01-02 23:04:05");
    EXPECT_EQ(loadingText(QStringLiteral("u")), u"Loading u...");
    EXPECT_EQ(changeLogLine(QStringLiteral("T"), QStringLiteral("u")), u"T (Changed) u");
    EXPECT_EQ(errorLogLine(QStringLiteral("T"), QStringLiteral("e"), QStringLiteral("u")), u"T (Error: e) u");
    EXPECT_EQ(downloadErrorStatus(QStringLiteral("HTTP/1.1 ")), u"");
}

// Messages flow while a page loads, so a command may delete rows meanwhile.
class RowsChangingDuringTheDownload : public testing::Test, protected EngineFixture {
protected:
    RowsChangingDuringTheDownload()
    {
        for (const char *u : {"http://a/", "http://b/", "http://c/"}) {
            const QString url = QString::fromLatin1(u);
            rows.add(url);
            store.rows[url] = storedAs(QStringLiteral("old"), QStringLiteral("OK"));
            loader.pages.insert(url, QStringLiteral("new"));
        }
    }
};

TEST_F(RowsChangingDuringTheDownload, TheCheckedRowGetsTheCellsWhereverItMoved)
{
    loader.duringLoad = [this] { rows.remove(0); };
    check(rows.id(1)); // http://b/, which moves up to position 0
    EXPECT_EQ(rows.statuses(), (QStringList{QStringLiteral("Changed!"), QString()}));
    EXPECT_EQ(store.saves.size(), 1u);
}

TEST_F(RowsChangingDuringTheDownload, ARowMovedUpIsStillWritten)
{
    loader.duringLoad = [this] { rows.remove(0); };
    check(rows.id(2)); // http://c/ is still listed, one position up
    EXPECT_EQ(rows.statuses(), (QStringList{QString(), QStringLiteral("Changed!")}));
    EXPECT_EQ(changed, QStringList{QStringLiteral("http://c/")});
    EXPECT_EQ(display.statusText, u"");
}

TEST_F(RowsChangingDuringTheDownload, ADeletedUrlIsNotSavedBackIntoTheStore)
{
    loader.duringLoad = [this] {
        rows.remove(2);
        store.rows.erase(QStringLiteral("http://c/"));
    };
    check(rows.id(2));
    EXPECT_TRUE(store.saves.empty());
    EXPECT_TRUE(store.rows.find(QStringLiteral("http://c/")) == store.rows.end());
    EXPECT_TRUE(changed.isEmpty());
    EXPECT_TRUE(display.log.isEmpty());
    EXPECT_EQ(rows.statuses(), (QStringList{QString(), QString()}));
}

TEST_F(RowsChangingDuringTheDownload, EveryRowGoneLeavesAnEmptyStatusBar)
{
    pump.onPump = [this] { rows.clear(); };
    check(rows.id(0));
    EXPECT_EQ(display.statusText, u"");
    EXPECT_TRUE(store.saves.empty());
}

} // namespace
