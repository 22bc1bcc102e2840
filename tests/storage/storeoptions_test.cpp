#include "storage/storeoptions.h"
#include "storage/websitedb.h"
#include "storetestsupport.h"
#include "support/qtext.h"
#include "text/error.h"
#include <gtest/gtest.h>

using namespace sentrel;
using namespace sentrel::testing;

namespace {

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
    StoreRow row() { return *db_->lookupRow(url_); }
    EditUrlOptions reopen() { return editOptionsFromRow(row()); }
    void ok(const QString &newUrl, const EditUrlOptions &o)
    {
        EXPECT_EQ(db_->execute(editOptionsUpdateSql(newUrl, o, url_)), 1);
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
        EXPECT_EQ(toLineNumber(QString::fromUtf16(c.text)), c.value);
    }
}

TEST(OptionsUpdate, WritesEveryOptionAndClearsTheStoredText)
{
    EditUrlOptions all;
    all.strip = true;
    all.lineRange = true;
    all.lineStart = 3;
    all.lineStop = 0;
    all.keyword = true;
    all.keywordText = QStringLiteral("it's");
    all.xpath = true;
    all.regex = true;
    all.regexText = QStringLiteral("[a-z]+");
    EXPECT_EQ(editOptionsUpdateSql(u"http://new'", all, u"http://old'"),
              u"update WEBSITES set URL='http://new''', STRIP='YES', LINESTART='3', LINESTOP='0', "
              u"KEYWORD='it''s', XPATH='', REGEX='[a-z]+', CONTENT=NULL, LASTCHANGE=NULL, STATUS=NULL "
              u"where URL='http://old''';");
    EXPECT_EQ(editOptionsUpdateSql(u"u", EditUrlOptions{}, u"u"),
              u"update WEBSITES set URL='u', STRIP='NO', LINESTART=NULL, LINESTOP=NULL, KEYWORD=NULL, "
              u"XPATH=NULL, REGEX=NULL, CONTENT=NULL, LASTCHANGE=NULL, STATUS=NULL where URL='u';");
}

TEST_F(OptionsStore, AddedUrlOpensWithOnlyStripChecked)
{
    EditUrlOptions expected;
    expected.strip = true;
    EXPECT_EQ(reopen(), expected);
}

TEST_F(OptionsStore, OpeningRulesForStoredValues)
{
    const struct {
        const char *name;
        const char16_t *columns;
        bool strip, lineRange;
        int start, stop;
        bool keyword;
    } cases[] = {
        {"STRIP exactly NO unchecks", u"STRIP='NO'", false, false, 1, 1, false},
        {"STRIP in other case stays checked", u"STRIP='no'", true, false, 1, 1, false},
        {"only a start sets the range", u"LINESTART=5", true, true, 5, 0, false},
        {"zero range is a range", u"LINESTART=0, LINESTOP=0", true, true, 0, 0, false},
        {"text bounds read as 0", u"LINESTART='x', LINESTOP=2000000000", true, true, 0, 999999999, false},
        {"empty keyword stays unchecked", u"KEYWORD=''", true, false, 1, 1, false},
        {"keyword set", u"KEYWORD='price'", true, false, 1, 1, true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        setColumns(QStringLiteral("STRIP=NULL, LINESTART=NULL, LINESTOP=NULL, KEYWORD=NULL"));
        setColumns(QString::fromUtf16(c.columns));
        const EditUrlOptions o = reopen();
        EXPECT_EQ(o.strip, c.strip);
        EXPECT_EQ(o.lineRange, c.lineRange);
        EXPECT_EQ(o.lineStart, c.start);
        EXPECT_EQ(o.lineStop, c.stop);
        EXPECT_EQ(o.keyword, c.keyword);
    }
}

TEST_F(OptionsStore, OkStoresWhatIsCheckedAndReopensTheSame)
{
    db_->DbSaveWebsite(url_, QStringLiteral("old text"), QStringLiteral("OK"));
    EditUrlOptions o;
    o.strip = false;
    o.lineRange = true;
    o.lineStart = 0;
    o.lineStop = 0;
    o.keyword = true;
    o.keywordText = u16(u"'quoted'\r\nline 😀");
    o.xpath = true;
    o.xpathText = QStringLiteral("//*[@id=\"TopBox\"]/div[1]");
    o.regex = true;
    o.regexText = QStringLiteral("[a-zA-Z]+'");
    ok(url_, o);
    const StoreRow stored = row();
    EXPECT_EQ(stored.text(u"STRIP"), u"NO");
    EXPECT_EQ(stored.text(u"LINESTART"), u"0");
    EXPECT_TRUE(stored.isNull(u"CONTENT"));
    EXPECT_TRUE(stored.isNull(u"STATUS"));
    EXPECT_TRUE(stored.isNull(u"LASTCHANGE"));
    EXPECT_EQ(reopen(), o);
}

TEST_F(OptionsStore, CheckedBoxWithEmptyTextStoresEmptyAndReopensUnchecked)
{
    EditUrlOptions o;
    o.strip = true;
    o.keyword = true;
    ok(url_, o);
    EXPECT_FALSE(row().isNull(u"KEYWORD"));
    EXPECT_EQ(row().text(u"KEYWORD"), QString());
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
    EXPECT_TRUE(row().isNull(u"CONTENT"));
    EXPECT_EQ(row().text(u"STRIP"), u"YES");
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
        EditUrlOptions o;
        o.keyword = true;
        o.keywordText = QStringLiteral("k");
        if (c.refusal.isEmpty()) {
            EXPECT_EQ(db->editUrl(target, c.newUrl, o), 1);
            EXPECT_EQ(db->lookupRow(c.newUrl)->text(u"KEYWORD"), u"k");
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
        EXPECT_EQ(db->lookupRow(target)->text(u"CONTENT"), u"text");
        EXPECT_TRUE(db->lookupRow(target)->isNull(u"KEYWORD"));
        EXPECT_FALSE(db->inBatch()) << "the refusal leaves no transaction open";
    }
}

} // namespace
