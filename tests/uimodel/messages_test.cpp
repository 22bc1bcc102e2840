#include "uimodel/messages.h"
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace sentrel;

namespace {

using B = DialogButton;

TEST(DialogLayout, ButtonsInFixedOrderDefaultAndEscapeChosenByRule)
{
    const struct {
        const char *name;
        QList<B> requested;
        QList<B> shown;
        std::optional<B> enter, escape;
    } cases[] = {
        {"yes no", {B::No, B::Yes}, {B::Yes, B::No}, B::Yes, B::No},
        {"ok cancel", {B::Cancel, B::OK}, {B::OK, B::Cancel}, B::OK, B::Cancel},
        {"yes no cancel", {B::Cancel, B::No, B::Yes}, {B::Yes, B::No, B::Cancel}, B::Yes, B::Cancel},
        {"ok alone", {B::OK}, {B::OK}, B::OK, B::OK},
        {"abort retry ignore",
         {B::Ignore, B::Retry, B::Abort},
         {B::Abort, B::Retry, B::Ignore},
         B::Retry,
         std::nullopt},
        {"every button once",
         {B::Close, B::Help, B::YesToAll, B::NoToAll, B::All, B::Ignore, B::Retry, B::Abort, B::Cancel, B::OK,
          B::No, B::Yes, B::Yes},
         {B::Yes, B::No, B::OK, B::Cancel, B::Abort, B::Retry, B::Ignore, B::All, B::NoToAll, B::YesToAll,
          B::Help, B::Close},
         B::OK,
         B::Cancel},
        {"close only", {B::Close}, {B::Close}, std::nullopt, std::nullopt},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        ConfirmationRequest r;
        r.buttons = c.requested;
        const DialogLayout l = layoutDialog(r);
        EXPECT_EQ(l.buttons, c.shown);
        EXPECT_EQ(l.defaultButton, c.enter);
        EXPECT_EQ(l.escapeButton, c.escape);
    }
}

TEST(DialogLayout, CaptionsGoToButtonsFromLeftToRight)
{
    ConfirmationRequest r;
    r.buttons = {B::No, B::Yes, B::Cancel};
    r.buttonCaptions = {QStringLiteral("Ja"), QStringLiteral("Nein")};
    EXPECT_EQ(layoutDialog(r).captions,
              (QStringList{QStringLiteral("Ja"), QStringLiteral("Nein"), QStringLiteral("Cancel")}));
    r.buttonCaptions = {};
    EXPECT_EQ(layoutDialog(r).captions,
              (QStringList{QStringLiteral("Yes"), QStringLiteral("No"), QStringLiteral("Cancel")}));
    r.buttonCaptions = {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"),
                        QStringLiteral("surplus")};
    EXPECT_EQ(layoutDialog(r).captions,
              (QStringList{QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")}));
}

TEST(DialogResult, EachButtonHasItsCode)
{
    const struct {
        B button;
        std::optional<int> code;
    } cases[] = {{B::Yes, 6},     {B::No, 7},        {B::OK, 1},     {B::Cancel, 2},
                 {B::Abort, 3},   {B::Retry, 4},     {B::Ignore, 5}, {B::All, 8},
                 {B::NoToAll, 9}, {B::YesToAll, 10}, {B::Close, 11}, {B::Help, std::nullopt}};
    for (const auto &c : cases) {
        SCOPED_TRACE(standardCaption(c.button).toStdString());
        EXPECT_EQ(resultCode(c.button), c.code);
    }
}

class RecordingBoxes : public MessageBoxes {
public:
    void showMessage(MessageKind, const QString &, const QString &) override {}
    int confirm(const ConfirmationRequest &r) override
    {
        asked = r;
        return answer;
    }
    int answer = dialogresult::Yes;
    ConfirmationRequest asked;
};

Translator german(const QTemporaryDir &exe)
{
    QDir(exe.path()).mkdir(QStringLiteral("Languages"));
    QFile table(exe.filePath(QStringLiteral("Languages/LanguageCodes.csv")));
    EXPECT_TRUE(table.open(QIODevice::WriteOnly));
    table.write("1031,German.lang.txt\n");
    table.close();
    QFile file(exe.filePath(QStringLiteral("Languages/German.lang.txt")));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("{Restart Application?}Neu starten?\n{Confirmation}Best\xC3\xA4tigung\n{Yes}Ja\n{No}Nein\n"
               "{INFORMATION}HINWEIS\n");
    file.close();
    return Translator::load(exe.path(), 1031);
}

TEST(RestartQuestion, AsksInTheUsersLanguageAndGoesOnOnlyOnYes)
{
    QTemporaryDir exe;
    const Translator t = german(exe);
    RecordingBoxes boxes;
    EXPECT_TRUE(askRestart(boxes, t));
    EXPECT_EQ(boxes.asked.message, QStringLiteral("Neu starten?"));
    EXPECT_EQ(boxes.asked.caption, QString::fromUtf8("Bestätigung"));
    EXPECT_EQ(boxes.asked.kind, DialogKind::Confirmation);
    const DialogLayout l = layoutDialog(boxes.asked);
    EXPECT_EQ(l.buttons, (QList<B>{B::Yes, B::No}));
    EXPECT_EQ(l.captions, (QStringList{QStringLiteral("Ja"), QStringLiteral("Nein")}));
    EXPECT_EQ(l.defaultButton, B::Yes);
    EXPECT_EQ(l.escapeButton, B::No);

    for (int answer : {dialogresult::No, dialogresult::Cancel, dialogresult::OK}) {
        SCOPED_TRACE(answer);
        boxes.answer = answer;
        EXPECT_FALSE(askRestart(boxes, t));
    }
}

TEST(RestartQuestion, EnglishWithoutALanguage)
{
    RecordingBoxes boxes;
    askRestart(boxes, Translator());
    EXPECT_EQ(boxes.asked.message, QStringLiteral("Restart Application?"));
    EXPECT_EQ(boxes.asked.caption, QStringLiteral("Confirmation"));
    EXPECT_EQ(boxes.asked.buttonCaptions, (QStringList{QStringLiteral("Yes"), QStringLiteral("No")}));
}

TEST(MessageCaption, EachKindHasItsCaption)
{
    QTemporaryDir exe;
    const Translator t = german(exe);
    const QString title = QStringLiteral("Sentrel");
    EXPECT_EQ(messageCaption(MessageKind::Plain, t, title), title);
    EXPECT_EQ(messageCaption(MessageKind::Warning, t, title), QStringLiteral("WARNING"));
    EXPECT_EQ(messageCaption(MessageKind::Error, t, title), QStringLiteral("ERROR"));
    EXPECT_EQ(messageCaption(MessageKind::Information, t, title), QStringLiteral("HINWEIS"));
    EXPECT_EQ(messageCaption(MessageKind::Information, Translator(), title), QStringLiteral("INFORMATION"));
}

} // namespace
