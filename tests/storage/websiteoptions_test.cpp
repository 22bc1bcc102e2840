#include "storage/websitedb.h"
#include "storage/websiteoptions.h"
#include "storetestsupport.h"
#include "support/qtext.h"
#include "text/error.h"
#include <gtest/gtest.h>

using namespace sentrel;
using namespace sentrel::testing;

namespace {

// The option columns and the check's columns of a URL's row as another
// program reads them with plain SQL: "NULL", or the storage class and the
// value ("text:YES", "integer:3"). A value that changed its storage class
// (a number stored as text) would show here.
QStringList storedColumns(const DataFolder &folder, const QString &url)
{
    auto raw = folder.raw();
    SqliteStatement row = raw->prepare(u"select STRIP, LINESTART, LINESTOP, KEYWORD, XPATH, REGEX, CONTENT, "
                                       u"LASTCHANGE, STATUS from WEBSITES where URL=?1;");
    row.bind(1, url);
    QStringList values;
    if (!row.step())
        return values;
    for (int i = 0; i < row.columnCount(); ++i) {
        if (row.isNull(i)) {
            values.append(QStringLiteral("NULL"));
            continue;
        }
        SqliteStatement type = raw->prepare(
            QStringLiteral("select typeof(%1) from WEBSITES where URL=?1;").arg(row.columnName(i)));
        type.bind(1, url);
        type.step();
        values.append(type.text(0) + u':' + row.text(i));
    }
    return values;
}

// A store with one URL whose option columns are set by a raw statement.
class OptionsStore : public ::testing::Test {
protected:
    void SetUp() override
    {
        db_ = folder_.open();
        db_->DbAddUrl(url_);
    }
    void setColumns(const QString &assignments)
    {
        folder_.raw()->execute(QStringLiteral("update WEBSITES set %1;").arg(assignments));
    }
    WebsiteRecord record() { return *db_->lookup(url_); }
    WebsiteOptions reopen() { return optionsAsEdited(record().options); }
    void ok(const QString &newUrl, const WebsiteOptions &o)
    {
        EXPECT_EQ(db_->editUrl(url_, newUrl, o), 1);
        url_ = newUrl;
    }

    DataFolder folder_;
    std::unique_ptr<WebsiteDb> db_;
    QString url_ = QStringLiteral("http://example.com/");
};

TEST(LineNumber, ReadsZeroForNonNumbersAndClampsToTheSpinRange)
{
    const struct {
        const char16_t *text;
        int value;
    } cases[] = {{u"", 0},
                 {u"7", 7},
                 {u"-5", 0},
                 {u"abc", 0},
                 {u"12abc", 0},
                 {u"-", 0},
                 {u"0", 0},
                 {u"999999999", 999999999},
                 {u"1000000000", 999999999},
                 {u"99999999999999999999", 0}};
    for (const auto &c : cases) {
        SCOPED_TRACE(QString::fromUtf16(c.text).toStdString());
        EXPECT_EQ(lineNumberAsEdited(parseLineNumber(QString::fromUtf16(c.text))), c.value);
    }
}

// One stored bound, two readers: the dialog (and set and show) clamp it
// into the spin range, the check takes any 32-bit number as it is and
// anything else as no bound. Both must keep reading a stored value the way
// they always have, whatever the other does with it.
TEST(LineNumber, TheCheckAndTheDialogEachKeepTheirRuleForOneStoredValue)
{
    const struct {
        const char *name;
        const char16_t *stored;
        int edited, checked;
    } cases[] = {
        {"a plain number", u"7", 7, 7},
        {"blanks and a plus sign", u" +7 ", 7, 7},
        {"negative: clamped to 0, checked as is", u"-5", 0, -5},
        {"past the spin range, within 32 bits", u"1500000000", 999999999, 1500000000},
        {"beyond 32 bits: clamped, but no bound for the check", u"5000000000", 999999999, 0},
        {"beyond 64 bits: no number for either", u"99999999999999999999", 0, 0},
        {"no number", u"12abc", 0, 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const std::optional<qint64> parsed = parseLineNumber(QString::fromUtf16(c.stored));
        EXPECT_EQ(lineNumberAsEdited(parsed), c.edited);
        EXPECT_EQ(lineBoundAsChecked(parsed), c.checked);
    }
}

TEST_F(OptionsStore, OkWritesEveryOptionAndClearsTheStoredText)
{
    WebsiteOptions all;
    all.strip = true;
    all.lineRange = true;
    all.lineStart = 3;
    all.lineStop = 0;
    all.keyword = QStringLiteral("it's");
    all.xpath = QString(); // a checked box with an empty field
    all.regex = QStringLiteral("[a-z]+");
    db_->DbSaveWebsite(url_, QStringLiteral("old text"), QStringLiteral("OK"));
    ok(QStringLiteral("http://new'"), all);
    EXPECT_EQ(storedColumns(folder_, url_),
              (QStringList{u16(u"text:YES"), u16(u"integer:3"), u16(u"integer:0"), u16(u"text:it's"),
                           u16(u"text:"), u16(u"text:[a-z]+"), u16(u"NULL"), u16(u"NULL"), u16(u"NULL")}));

    WebsiteOptions none;
    none.strip = false;
    ok(url_, none);
    EXPECT_EQ(storedColumns(folder_, url_),
              (QStringList{u16(u"text:NO"), u16(u"NULL"), u16(u"NULL"), u16(u"NULL"), u16(u"NULL"),
                           u16(u"NULL"), u16(u"NULL"), u16(u"NULL"), u16(u"NULL")}));
}

TEST_F(OptionsStore, AddedUrlOpensWithOnlyStripChecked)
{
    WebsiteOptions expected;
    expected.strip = true;
    EXPECT_EQ(reopen(), expected);
}

TEST_F(OptionsStore, OpeningRulesForStoredValues)
{
    const struct {
        const char *name;
        const char16_t *columns;
        bool strip, lineRange;
        std::optional<qint64> start, stop;
        bool keyword;
    } cases[] = {
        {"STRIP exactly NO unchecks", u"STRIP='NO'", false, false, {}, {}, false},
        {"STRIP in other case stays checked", u"STRIP='no'", true, false, {}, {}, false},
        {"only a start sets the range", u"LINESTART=5", true, true, 5, 0, false},
        {"zero range is a range", u"LINESTART=0, LINESTOP=0", true, true, 0, 0, false},
        {"text bounds read as 0", u"LINESTART='x', LINESTOP=2000000000", true, true, 0, 999999999, false},
        {"empty keyword stays unchecked", u"KEYWORD=''", true, false, {}, {}, false},
        {"keyword set", u"KEYWORD='price'", true, false, {}, {}, true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        setColumns(QStringLiteral("STRIP=NULL, LINESTART=NULL, LINESTOP=NULL, KEYWORD=NULL"));
        setColumns(QString::fromUtf16(c.columns));
        const WebsiteOptions o = reopen();
        EXPECT_EQ(o.strip, c.strip);
        EXPECT_EQ(o.lineRange, c.lineRange);
        EXPECT_EQ(o.lineStart, c.start);
        EXPECT_EQ(o.lineStop, c.stop);
        EXPECT_EQ(o.keyword.has_value(), c.keyword);
    }
}

TEST_F(OptionsStore, OkStoresWhatIsCheckedAndReopensTheSame)
{
    db_->DbSaveWebsite(url_, QStringLiteral("old text"), QStringLiteral("OK"));
    WebsiteOptions o;
    o.strip = false;
    o.lineRange = true;
    o.lineStart = 0;
    o.lineStop = 0;
    o.keyword = u16(u"'quoted'\r\nline 😀");
    o.xpath = QStringLiteral("//*[@id=\"TopBox\"]/div[1]");
    o.regex = QStringLiteral("[a-zA-Z]+'");
    ok(url_, o);
    const WebsiteRecord stored = record();
    EXPECT_FALSE(stored.options.strip);
    EXPECT_EQ(stored.options.lineStart, 0);
    EXPECT_FALSE(stored.content);
    EXPECT_FALSE(stored.status);
    EXPECT_FALSE(stored.lastChange);
    EXPECT_EQ(reopen(), o);
}

TEST_F(OptionsStore, CheckedBoxWithEmptyTextStoresEmptyAndReopensUnchecked)
{
    WebsiteOptions o;
    o.strip = true;
    o.keyword = QString();
    ok(url_, o);
    EXPECT_EQ(record().options.keyword, QString()) << "stored empty, not NULL";
    EXPECT_FALSE(reopen().keyword);
}

TEST_F(OptionsStore, RenameKeepsThePositionAndClearsTheText)
{
    db_->DbAddUrl(QStringLiteral("http://second/"));
    db_->DbSaveWebsite(url_, QStringLiteral("text"), QStringLiteral("OK"));
    ok(QStringLiteral("http://renamed/"), reopen());
    const auto rows = db_->DbLoadWebsites();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].url, u"http://renamed/");
    EXPECT_EQ(rows[0].lastChange, QString());
    EXPECT_FALSE(record().content);
    EXPECT_EQ(storedColumns(folder_, url_).first(), u"text:YES");
}

// Renaming onto a URL another row holds would make two rows of one URL,
// which every check and the delete would then treat as one.
TEST(OptionsRename, OntoAListedUrlIsRefusedAndChangesNothing)
{
    const QString target = QStringLiteral("http://example.com/");
    const QString other = QStringLiteral("http://b.example/");
    const struct {
        const char *name;
        QString newUrl;
        QString refusal; // empty: the rename is made
    } cases[] = {
        {"another row's URL", other, QStringLiteral("Already in the list: http://b.example/")},
        {"with blanks around it", QStringLiteral(" http://b.example/\t"),
         QStringLiteral("Already in the list: http://b.example/")},
        {"letter case differs", QStringLiteral("http://B.example/"), {}},
        {"its own URL", target, {}},
        {"its own URL with blanks", QStringLiteral("http://example.com/ "), {}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        DataFolder folder;
        auto db = folder.open();
        db->DbAddUrl(target);
        db->DbAddUrl(other);
        db->DbSaveWebsite(target, QStringLiteral("text"), QStringLiteral("OK"));
        WebsiteOptions o;
        o.strip = false;
        o.keyword = QStringLiteral("k");
        if (c.refusal.isEmpty()) {
            EXPECT_EQ(db->editUrl(target, c.newUrl, o), 1);
            EXPECT_EQ(db->lookup(c.newUrl)->options.keyword, u"k");
            continue;
        }
        try {
            db->editUrl(target, c.newUrl, o);
            ADD_FAILURE() << "not refused";
        } catch (const Error &e) {
            EXPECT_EQ(e.message(), c.refusal);
        }
        const auto rows = db->DbLoadWebsites();
        ASSERT_EQ(rows.size(), 2u);
        EXPECT_EQ(rows[0].url, target);
        EXPECT_EQ(rows[1].url, other);
        EXPECT_EQ(db->lookup(target)->content, u"text");
        EXPECT_FALSE(db->lookup(target)->options.keyword);
        EXPECT_FALSE(db->inBatch()) << "the refusal leaves no transaction open";
    }
}

} // namespace
