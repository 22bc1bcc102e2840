#include "dialogs/messageboxes.h"
#include "modal.h"
#include "support/qtext.h"
#include "text/error.h"
#include <QCloseEvent>
#include <QKeyEvent>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace sentrel;
using sentrel::test::whenModal;

namespace {

ConfirmationRequest restartQuestion(QStringList captions)
{
    ConfirmationRequest request;
    request.message = QStringLiteral("Neu starten?");
    request.kind = DialogKind::Confirmation;
    request.buttons = {DialogButton::No, DialogButton::Yes};
    request.caption = QStringLiteral("Bestätigung");
    request.buttonCaptions = std::move(captions);
    return request;
}

QStringList shownCaptions(const ConfirmationBox &box)
{
    QStringList out;
    for (DialogButton b : box.layout().buttons)
        out.append(box.buttonFor(b)->text());
    return out;
}

// The buttons as the dialog lays them out, left to right on the screen.
QStringList captionsByPosition(ConfirmationBox &box)
{
    box.show();
    QList<QAbstractButton *> buttons = box.buttons();
    std::sort(buttons.begin(), buttons.end(), [](QAbstractButton *a, QAbstractButton *b) {
        return a->mapToGlobal(QPoint()).x() < b->mapToGlobal(QPoint()).x();
    });
    QStringList out;
    for (QAbstractButton *b : buttons)
        out.append(b->text());
    box.hide();
    return out;
}

} // namespace

TEST(ConfirmationBox, ShowsTranslatedCaptionsInFixedOrderWithQuestionIcon)
{
    ConfirmationBox box(restartQuestion({QStringLiteral("Ja"), QStringLiteral("Nein")}));
    EXPECT_EQ(box.windowTitle(), QStringLiteral("Bestätigung"));
    EXPECT_EQ(box.text(), QStringLiteral("Neu starten?"));
    EXPECT_EQ(box.icon(), QMessageBox::Question);
    EXPECT_EQ(captionsByPosition(box), (QStringList{QStringLiteral("Ja"), QStringLiteral("Nein")}));
    EXPECT_EQ(box.defaultButton(), box.buttonFor(DialogButton::Yes));
    EXPECT_EQ(box.escapeButton(), box.buttonFor(DialogButton::No));
}

TEST(ConfirmationBox, MissingCaptionsKeepStandardOnesAndSurplusIsIgnored)
{
    ConfirmationRequest request = restartQuestion({});
    request.buttons = {DialogButton::Cancel, DialogButton::OK, DialogButton::Retry};
    {
        ConfirmationBox box(request);
        EXPECT_EQ(shownCaptions(box),
                  (QStringList{QStringLiteral("OK"), QStringLiteral("Cancel"), QStringLiteral("Retry")}));
        EXPECT_EQ(box.defaultButton(), box.buttonFor(DialogButton::OK));
        EXPECT_EQ(box.escapeButton(), box.buttonFor(DialogButton::Cancel));
    }
    request.buttonCaptions = {QStringLiteral("Gut")};
    {
        ConfirmationBox box(request);
        EXPECT_EQ(shownCaptions(box),
                  (QStringList{QStringLiteral("Gut"), QStringLiteral("Cancel"), QStringLiteral("Retry")}));
    }
    request.buttonCaptions = {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"),
                              QStringLiteral("4")};
    {
        ConfirmationBox box(request);
        EXPECT_EQ(box.buttons().size(), 3);
        EXPECT_EQ(shownCaptions(box),
                  (QStringList{QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")}));
    }
}

TEST(ConfirmationBox, WithoutEscapeCandidateEscapeDoesNotAnswer)
{
    ConfirmationRequest request = restartQuestion({});
    request.buttons = {DialogButton::Abort, DialogButton::Retry, DialogButton::Ignore};
    ConfirmationBox box(request);
    EXPECT_EQ(box.escapeButton(), nullptr);
    EXPECT_EQ(box.defaultButton(), box.buttonFor(DialogButton::Retry));
}

struct AnswerCase {
    const char *name;
    std::function<void(QWidget *)> answer;
    int expected;
};

class ConfirmationAnswer : public ::testing::TestWithParam<AnswerCase> {};

TEST_P(ConfirmationAnswer, GivesResultCodeOfTheAnswer)
{
    QtMessageBoxes boxes;
    whenModal(GetParam().answer);
    EXPECT_EQ(boxes.confirm(restartQuestion({QStringLiteral("Ja"), QStringLiteral("Nein")})),
              GetParam().expected);
}

namespace {
void clickCaption(QWidget *w, const QString &caption)
{
    for (QPushButton *b : w->findChildren<QPushButton *>())
        if (b->text() == caption)
            b->click();
}
} // namespace

INSTANTIATE_TEST_SUITE_P(
    Answers, ConfirmationAnswer,
    ::testing::Values(
        AnswerCase{"EnterIsYes", [](QWidget *w) { QTest::keyClick(w, Qt::Key_Return); }, dialogresult::Yes},
        AnswerCase{"EscapeIsNo", [](QWidget *w) { QTest::keyClick(w, Qt::Key_Escape); }, dialogresult::No},
        AnswerCase{"ClickNo", [](QWidget *w) { clickCaption(w, QStringLiteral("Nein")); }, dialogresult::No},
        AnswerCase{"ClickYes", [](QWidget *w) { clickCaption(w, QStringLiteral("Ja")); }, dialogresult::Yes},
        AnswerCase{"TitleBarCloseIsCancel", [](QWidget *w) { w->close(); }, dialogresult::Cancel}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(ConfirmationBox, HelpKeepsTheQuestionOpen)
{
    ConfirmationRequest request = restartQuestion({});
    request.buttons = {DialogButton::Help, DialogButton::OK};
    ConfirmationBox box(request);
    int helps = 0;
    QObject::connect(&box, &ConfirmationBox::helpRequested, [&] { ++helps; });
    whenModal([](QWidget *w) {
        clickCaption(w, QStringLiteral("Help"));
        whenModal([](QWidget *again) { clickCaption(again, QStringLiteral("OK")); });
    });
    EXPECT_EQ(box.run(), dialogresult::OK);
    EXPECT_EQ(helps, 1);
}

TEST(ConfirmationBox, RestartQuestionThroughAskRestart)
{
    QtMessageBoxes boxes;
    Translator english;
    whenModal([](QWidget *w) {
        auto *box = qobject_cast<QMessageBox *>(w);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->windowTitle(), QStringLiteral("Confirmation"));
        EXPECT_EQ(box->text(), QStringLiteral("Restart Application?"));
        QTest::keyClick(w, Qt::Key_Escape);
    });
    EXPECT_FALSE(askRestart(boxes, english));
}

TEST(MessageBoxes, KindsShowTheirIconCaptionAndOneOkButton)
{
    const struct {
        MessageKind kind;
        QMessageBox::Icon icon;
    } cases[] = {{MessageKind::Plain, QMessageBox::NoIcon},
                 {MessageKind::Warning, QMessageBox::Warning},
                 {MessageKind::Information, QMessageBox::Information},
                 {MessageKind::Error, QMessageBox::Critical}};
    for (const auto &c : cases) {
        SCOPED_TRACE(static_cast<int>(c.kind));
        QtMessageBoxes boxes;
        bool seen = false;
        whenModal([&](QWidget *w) {
            auto *box = qobject_cast<QMessageBox *>(w);
            ASSERT_NE(box, nullptr);
            seen = true;
            EXPECT_EQ(box->icon(), c.icon);
            EXPECT_EQ(box->windowTitle(), QStringLiteral("WARNING"));
            EXPECT_EQ(box->text(), QStringLiteral("No item selected!"));
            EXPECT_EQ(box->buttons().size(), 1);
            box->buttons().front()->click();
        });
        boxes.showMessage(c.kind, QStringLiteral("WARNING"), QStringLiteral("No item selected!"));
        EXPECT_TRUE(seen);
    }
}

TEST(DefaultErrorBox, ReportsAnEscapedErrorWithStopIconAndAppTitle)
{
    bool seen = false;
    whenModal([&](QWidget *w) {
        auto *box = qobject_cast<QMessageBox *>(w);
        ASSERT_NE(box, nullptr);
        seen = true;
        EXPECT_EQ(box->icon(), QMessageBox::Critical);
        EXPECT_EQ(box->windowTitle(), QStringLiteral("Sentrel"));
        EXPECT_EQ(box->text(), QStringLiteral("Error in regular expression at offset 1: missing )"));
        box->buttons().front()->click();
    });
    const bool ok = runReportingErrors(nullptr, QStringLiteral("Sentrel"), [] {
        throw Error(QStringLiteral("Error in regular expression at offset 1: missing )"));
    });
    EXPECT_FALSE(ok);
    EXPECT_TRUE(seen);
    EXPECT_TRUE(runReportingErrors(nullptr, QStringLiteral("Sentrel"), [] {}));
}

TEST(ConfirmationBox, HelpAndCloseStayInTheFixedOrderOnScreen)
{
    ConfirmationRequest request = restartQuestion({});
    request.buttons = {DialogButton::Close, DialogButton::Help, DialogButton::NoToAll, DialogButton::Yes,
                       DialogButton::Help};
    ConfirmationBox box(request);
    EXPECT_EQ(captionsByPosition(box), (QStringList{QStringLiteral("Yes"), QStringLiteral("No to All"),
                                                    QStringLiteral("Help"), QStringLiteral("Close")}));
}

TEST(ConfirmationBox, TitleBarCloseAfterHelpIsCancel)
{
    ConfirmationRequest request = restartQuestion({});
    request.buttons = {DialogButton::Help, DialogButton::Yes};
    ConfirmationBox box(request);
    whenModal([](QWidget *w) {
        clickCaption(w, QStringLiteral("Help"));
        whenModal([](QWidget *again) { again->close(); });
    });
    EXPECT_EQ(box.run(), dialogresult::Cancel);
}
