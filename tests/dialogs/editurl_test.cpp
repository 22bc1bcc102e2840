#include "dialogs/editurl.h"
#include "fakes.h"
#include "storage/storesqlite.h"
#include "support/qtext.h"
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <gtest/gtest.h>

using namespace sentrel;
using namespace sentrel::test;

namespace {

// The list, the store and the error sink of a main window, with rows that
// mirror the store.
class EditUrlTest : public ::testing::Test {
protected:
    void add(const QString &url)
    {
        store.db().DbAddUrl(url);
        rows.appendRow(url, QStringLiteral("2026-01-01 10:00:00"), QStringLiteral("OK"));
    }
    EditUrlContext context() { return {rows.model, rows.selection(), store.access(), errors}; }
    TFormEditURL *open(int row)
    {
        rows.selectOnly(row);
        return EditURL1Click(context(), nullptr);
    }
    StoreRow stored(const QString &url)
    {
        std::optional<StoreRow> row = store.db().lookupRow(url);
        EXPECT_TRUE(row.has_value()) << url.toStdString();
        return row.value_or(StoreRow());
    }

    TempStore store;
    ListRows rows;
    RecordedErrors errors;
};

} // namespace

TEST_F(EditUrlTest, ControlsTabOrderAndHints)
{
    TFormEditURL dialog(context());
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Edit"));
    const QList<QWidget *> order{dialog.Edit1,     dialog.CheckBox1, dialog.CheckBox5, dialog.SpinEdit1,
                                 dialog.SpinEdit2, dialog.CheckBox2, dialog.Edit2,     dialog.CheckBox3,
                                 dialog.Edit3,     dialog.CheckBox4, dialog.Edit4,     dialog.Button1,
                                 dialog.Button2};
    // The focus chain, skipping widgets inside the controls (a spin box's edit).
    QList<QWidget *> chain;
    QWidget *w = order.front();
    do {
        if (order.contains(w) && !chain.contains(w))
            chain.append(w);
        w = w->nextInFocusChain();
    } while (w != order.front());
    EXPECT_EQ(chain, order);
    EXPECT_EQ(dialog.Edit3->toolTip(),
              QStringLiteral("Example:\r//*[@id=\"TopBox\"]/div[1]/div[@class=\"draw default\"]"));
    EXPECT_EQ(dialog.Edit4->toolTip(), QStringLiteral("Example:\r[a-zA-Z]+"));
    EXPECT_TRUE(dialog.Edit2->toolTip().isEmpty());
    EXPECT_EQ(dialog.SpinEdit1->minimum(), 0);
    EXPECT_EQ(dialog.SpinEdit1->maximum(), 999999999);
    EXPECT_EQ(dialog.SpinEdit2->value(), 1);
    EXPECT_GE(dialog.minimumWidth(), 522);
}

TEST_F(EditUrlTest, EachBoxEnablesExactlyItsDependents)
{
    TFormEditURL dialog(context());
    const struct {
        QCheckBox *box;
        QList<QWidget *> dependents;
    } cases[] = {
        {dialog.CheckBox2, {dialog.Edit2}},
        {dialog.CheckBox3, {dialog.Edit3}},
        {dialog.CheckBox4, {dialog.Edit4}},
        {dialog.CheckBox5, {dialog.LabelStart, dialog.SpinEdit1, dialog.LabelStop, dialog.SpinEdit2}}};
    QList<QWidget *> all;
    for (const auto &c : cases)
        all += c.dependents;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.box->text().toStdString());
        for (QWidget *w : all)
            EXPECT_FALSE(w->isEnabled());
        c.box->setChecked(true); // by code: the rule runs too
        for (QWidget *w : all)
            EXPECT_EQ(w->isEnabled(), c.dependents.contains(w));
        c.box->click();
    }
    dialog.Edit2->setText(QStringLiteral("kept"));
    EXPECT_EQ(dialog.Edit2->text(), QStringLiteral("kept"));
    dialog.CheckBox1->setChecked(true);
    for (QWidget *w : all)
        EXPECT_FALSE(w->isEnabled());
}

TEST_F(EditUrlTest, NewRowOpensWithOnlyStripCheckedAndOkWritesDefaults)
{
    add(QStringLiteral("http://a.test/"));
    store.db().DbSaveWebsite(QStringLiteral("http://a.test/"), QStringLiteral("old text"),
                             QStringLiteral("OK"));
    QPointer<TFormEditURL> dialog = open(0);
    ASSERT_TRUE(dialog);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_FALSE(dialog->isModal());
    EXPECT_EQ(dialog->Edit1->text(), QStringLiteral("http://a.test/"));
    WebsiteOptions expected;
    expected.strip = true;
    EXPECT_EQ(dialog->options(), expected);
    EXPECT_FALSE(dialog->SpinEdit1->isEnabled());

    dialog->Button1->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(dialog); // closed and freed

    const StoreRow row = stored(QStringLiteral("http://a.test/"));
    EXPECT_EQ(row.text(u"STRIP"), QStringLiteral("YES"));
    for (const char16_t *column :
         {u"LINESTART", u"LINESTOP", u"KEYWORD", u"XPATH", u"REGEX", u"CONTENT", u"LASTCHANGE", u"STATUS"})
        EXPECT_TRUE(row.isNull(QStringView(column))) << QString::fromUtf16(column).toStdString();
    EXPECT_TRUE(rows.row(0).lastChange.isEmpty());
    EXPECT_TRUE(rows.row(0).status.isEmpty());
    EXPECT_TRUE(errors.texts.isEmpty());
}

TEST_F(EditUrlTest, OptionsRoundTripThroughTheStore)
{
    struct Case {
        const char *name;
        std::function<void(TFormEditURL &)> edit;
        WebsiteOptions reopened;
    };
    WebsiteOptions zeroRange;
    zeroRange.strip = false;
    zeroRange.lineRange = true;
    zeroRange.lineStart = 0;
    zeroRange.lineStop = 0;
    WebsiteOptions quoted;
    quoted.strip = true;
    quoted.keyword = QStringLiteral("it's");
    quoted.xpath = QStringLiteral("//a[@title='x']");
    quoted.regex = QStringLiteral(" '[0-9]+' ");
    WebsiteOptions stripOnly;
    stripOnly.strip = true;
    const Case cases[] = {
        {"LineRangeZeroZero",
         [](TFormEditURL &d) {
             d.CheckBox1->setChecked(false);
             d.CheckBox5->setChecked(true);
             d.SpinEdit1->setValue(0);
             d.SpinEdit2->setValue(0);
         },
         zeroRange},
        {"QuotesAndSpacesKeptAsTyped",
         [](TFormEditURL &d) {
             d.CheckBox2->setChecked(true);
             d.Edit2->setText(QStringLiteral("it's"));
             d.CheckBox3->setChecked(true);
             d.Edit3->setText(QStringLiteral("//a[@title='x']"));
             d.CheckBox4->setChecked(true);
             d.Edit4->setText(QStringLiteral(" '[0-9]+' "));
         },
         quoted},
        {"EmptyKeywordStoredEmptyReopensUnchecked",
         [](TFormEditURL &d) {
             d.CheckBox2->setChecked(true);
             d.Edit2->clear();
         },
         stripOnly},
        {"UncheckedBoxDropsItsText",
         [](TFormEditURL &d) { d.Edit2->setText(QStringLiteral("typed while off")); }, stripOnly},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const QString url = QStringLiteral("http://x.test/") + QString::fromLatin1(c.name);
        add(url);
        TFormEditURL *dialog = open(rows.rowCount() - 1);
        ASSERT_NE(dialog, nullptr);
        c.edit(*dialog);
        dialog->Button1->click();
        TFormEditURL *again = open(rows.rowCount() - 1);
        EXPECT_EQ(again->options(), c.reopened);
        again->Button2->click();
    }
    // The empty keyword is an empty text in the store, not NULL.
    const StoreRow row = stored(QStringLiteral("http://x.test/EmptyKeywordStoredEmptyReopensUnchecked"));
    EXPECT_FALSE(row.isNull(u"KEYWORD"));
    EXPECT_EQ(row.text(u"KEYWORD"), QString());
    EXPECT_EQ(stored(QStringLiteral("http://x.test/LineRangeZeroZero")).text(u"LINESTART"),
              QStringLiteral("0"));
}

TEST_F(EditUrlTest, SpinTextThatIsNoNumberStoresZero)
{
    add(QStringLiteral("http://a.test/"));
    TFormEditURL *dialog = open(0);
    dialog->CheckBox5->setChecked(true);
    dialog->SpinEdit1->setValue(7);
    dialog->SpinEdit1->setFocus();
    dialog->SpinEdit1->selectAll();
    QTest::keyClicks(dialog->SpinEdit1, QStringLiteral("-"));
    EXPECT_EQ(dialog->SpinEdit1->text(), QStringLiteral("-"));
    EXPECT_EQ(dialog->options().lineStart, 0);
    QTest::keyClicks(dialog->SpinEdit1, QStringLiteral("5"));
    EXPECT_EQ(dialog->options().lineStart, 0);
    dialog->SpinEdit2->setValue(9);
    EXPECT_EQ(dialog->options().lineStop, 9);
    dialog->Button1->click();
    EXPECT_EQ(stored(QStringLiteral("http://a.test/")).text(u"LINESTART"), QStringLiteral("0"));
}

TEST_F(EditUrlTest, RenameKeepsPositionAndEmptiesCells)
{
    add(QStringLiteral("http://a.test/"));
    add(QStringLiteral("http://b.test/"));
    add(QStringLiteral("http://c.test/"));
    TFormEditURL *dialog = open(1);
    dialog->Edit1->setText(QStringLiteral("http://b2.test/"));
    dialog->Button1->click();
    EXPECT_EQ(rows.row(1).url, QStringLiteral("http://b2.test/"));
    EXPECT_TRUE(rows.row(1).status.isEmpty());
    EXPECT_EQ(rows.row(0).status, QStringLiteral("OK"));
    EXPECT_FALSE(store.db().lookupRow(QStringLiteral("http://b.test/")).has_value());
    std::vector<QString> order;
    for (const ListedWebsite &w : store.db().DbLoadWebsites())
        order.push_back(w.url);
    EXPECT_EQ(order,
              (std::vector<QString>{QStringLiteral("http://a.test/"), QStringLiteral("http://b2.test/"),
                                    QStringLiteral("http://c.test/")}));
}

TEST_F(EditUrlTest, TwoOpenDialogsKeepTheirOwnTargets)
{
    add(QStringLiteral("http://a.test/"));
    add(QStringLiteral("http://b.test/"));
    TFormEditURL *first = open(0);
    TFormEditURL *second = open(1);
    first->CheckBox2->setChecked(true);
    first->Edit2->setText(QStringLiteral("for a"));
    second->CheckBox2->setChecked(true);
    second->Edit2->setText(QStringLiteral("for b"));
    second->Button1->click();
    first->Button1->click();
    EXPECT_EQ(stored(QStringLiteral("http://a.test/")).text(u"KEYWORD"), QStringLiteral("for a"));
    EXPECT_EQ(stored(QStringLiteral("http://b.test/")).text(u"KEYWORD"), QStringLiteral("for b"));
}

TEST_F(EditUrlTest, OkFollowsTheTargetWhenRowsMovedOrVanished)
{
    add(QStringLiteral("http://a.test/"));
    add(QStringLiteral("http://b.test/"));
    TFormEditURL *dialog = open(1);
    rows.removeRow(0); // b moved up to 0
    dialog->Edit1->setText(QStringLiteral("http://b2.test/"));
    dialog->Button1->click();
    EXPECT_EQ(rows.row(0).url, QStringLiteral("http://b2.test/"));

    TFormEditURL *gone = open(0);
    rows.removeRow(0);
    rows.appendRow(QStringLiteral("http://other.test/"), {}, QStringLiteral("OK"));
    gone->Edit1->setText(QStringLiteral("http://b3.test/"));
    gone->Button1->click();
    EXPECT_EQ(rows.row(0).url, QStringLiteral("http://other.test/"));
    EXPECT_EQ(rows.row(0).status, QStringLiteral("OK"));
}

TEST_F(EditUrlTest, StoreFailuresShowTheStoreErrorMessage)
{
    add(QStringLiteral("http://a.test/"));
    add(QStringLiteral("http://b.test/"));
    // A trigger makes the UPDATE fail as a full disk would.
    SqliteConnection(store.db().path())
        .execute(QStringLiteral("create trigger refuse before update on WEBSITES begin select raise(ABORT, "
                                "'disk I/O error'); end;"));
    TFormEditURL *dialog = open(0);
    dialog->Edit1->setText(QStringLiteral("http://a2.test/"));
    dialog->Button1->click();
    ASSERT_EQ(errors.texts.size(), 1);
    EXPECT_TRUE(errors.texts[0].startsWith(QStringLiteral("Exception raised with message: ")))
        << errors.texts[0].toStdString();
    EXPECT_EQ(rows.row(0).url, QStringLiteral("http://a.test/"));
    EXPECT_EQ(rows.row(0).status, QStringLiteral("OK"));

    store.close();
    errors.texts.clear();
    TFormEditURL *closed = open(1);
    ASSERT_NE(closed, nullptr);
    EXPECT_EQ(errors.texts.size(), 1); // the lookup
    EXPECT_EQ(closed->Edit1->text(), QStringLiteral("http://b.test/"));
    WebsiteOptions unfilled; // the form as it is built: every box off
    unfilled.strip = false;
    EXPECT_EQ(closed->options(), unfilled);
    closed->Button2->click();
}

TEST_F(EditUrlTest, OkRefusesAnXPathOrPatternEveryCheckWouldFailOn)
{
    const struct {
        const char *name;
        QCheckBox *TFormEditURL::*box;
        QLineEdit *TFormEditURL::*edit;
        QString bad, message, good;
        const char16_t *column;
    } cases[] = {
        {"XPath", &TFormEditURL::CheckBox3, &TFormEditURL::Edit3, QStringLiteral("//div[@class]"),
         QStringLiteral("Attribute not found: class"), QStringLiteral("//div[@class='x']"), u"XPATH"},
        {"pattern", &TFormEditURL::CheckBox4, &TFormEditURL::Edit4, QStringLiteral("ab(c"),
         QStringLiteral("Error in regular expression at offset 4: missing closing parenthesis"),
         QStringLiteral("ab(c)"), u"REGEX"},
    };
    add(QStringLiteral("http://a.test/"));
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        errors.texts.clear();
        QPointer<TFormEditURL> dialog = open(0);
        ASSERT_TRUE(dialog);
        ((*dialog).*c.box)->setChecked(true);
        ((*dialog).*c.edit)->setText(c.bad);
        dialog->Button1->click();
        EXPECT_EQ(errors.texts, QStringList{c.message});
        EXPECT_TRUE(dialog->isVisible()) << "the dialog stays open to mend the text";
        EXPECT_TRUE(stored(QStringLiteral("http://a.test/")).isNull(QStringView(c.column)));

        ((*dialog).*c.edit)->setText(c.good);
        dialog->Button1->click();
        EXPECT_FALSE(dialog->isVisible());
        EXPECT_EQ(stored(QStringLiteral("http://a.test/")).text(QStringView(c.column)), c.good);
        EXPECT_EQ(errors.texts.size(), 1);
    }
}

TEST_F(EditUrlTest, NothingSelected)
{
    add(QStringLiteral("http://a.test/"));
    RecordedBoxes boxes;
    EXPECT_EQ(EditURL1Click(context(), nullptr), nullptr);
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(ToolButton8Click(context(), boxes, nullptr), nullptr);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].kind, MessageKind::Warning);
    EXPECT_EQ(boxes.shown[0].caption, QStringLiteral("WARNING"));
    EXPECT_EQ(boxes.shown[0].text, QStringLiteral("No item selected!"));
    rows.select(0);
    TFormEditURL *dialog = ToolButton8Click(context(), boxes, nullptr);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->targetUrl(), QStringLiteral("http://a.test/"));
    QTest::keyClick(dialog, Qt::Key_Escape);
    EXPECT_FALSE(dialog->isVisible());
}

// Two rows of one URL would be checked, shown and deleted as one.
TEST_F(EditUrlTest, RenameOntoAListedUrlIsRefusedAndTheDialogStaysOpen)
{
    add(QStringLiteral("http://a.test/"));
    add(QStringLiteral("http://b.test/"));
    QPointer<TFormEditURL> dialog = open(0);
    ASSERT_TRUE(dialog);
    dialog->CheckBox2->setChecked(true);
    dialog->Edit2->setText(QStringLiteral("k"));
    for (const QString &onto : {QStringLiteral("http://b.test/"), QStringLiteral(" http://b.test/\t")}) {
        SCOPED_TRACE(onto.toStdString());
        errors.texts.clear();
        dialog->Edit1->setText(onto);
        dialog->Button1->click();
        EXPECT_EQ(errors.texts, QStringList{QStringLiteral("Already in the list: http://b.test/")});
        EXPECT_TRUE(dialog->isVisible()) << "the dialog stays open to mend the URL";
        EXPECT_EQ(rows.row(0).url, QStringLiteral("http://a.test/"));
        EXPECT_EQ(rows.row(0).status, QStringLiteral("OK"));
        EXPECT_TRUE(stored(QStringLiteral("http://a.test/")).isNull(u"KEYWORD"));
        EXPECT_EQ(store.db().DbLoadWebsites().size(), 2u);
    }
    dialog->Edit1->setText(QStringLiteral("http://c.test/"));
    dialog->Button1->click();
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(rows.row(0).url, QStringLiteral("http://c.test/"));
    EXPECT_EQ(stored(QStringLiteral("http://c.test/")).text(u"KEYWORD"), QStringLiteral("k"));
}
