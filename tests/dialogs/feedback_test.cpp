#include "dialogs/feedback.h"
#include "dialogs/feedbackpost.h"
#include "fakes.h"
#include "support/loopbackserver.h"
#include "support/qtext.h"
#include "text/error.h"
#include "text/translation.h"
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace sentrel;
using namespace sentrel::test;

TEST(FeedbackMessage, PanelLineThenTrimmedText)
{
    const struct {
        const char *name;
        QString panel, field, expected;
    } cases[] = {
        {"Liked", QStringLiteral("I like it!"), QStringLiteral("Great tool"),
         QStringLiteral("I like it!\rGreat tool")},
        {"NoPanel", QString(), QStringLiteral("  Great tool \n"), QStringLiteral("Great tool")},
        {"LinesJoinedByCrLf", QString(), QStringLiteral("one\ntwo\r\nthree"),
         QStringLiteral("one\r\ntwo\r\nthree")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(feedbackMessage(c.panel, c.field), c.expected);
    }
    EXPECT_EQ(panelMessageText(QStringLiteral("I like it!"), QStringLiteral("I like it!")),
              QStringLiteral("I like it!"));
    EXPECT_EQ(panelMessageText(QStringLiteral("I like it!"), QStringLiteral("Gefällt mir!")),
              QStringLiteral("I like it! (Gefällt mir!)"));
}

TEST(FeedbackEmail, Pattern)
{
    const struct {
        const char *address;
        bool valid;
    } cases[] = {{"a.b+c@example.com", true},
                 {"x_y@mail-host.co.uk", true},
                 {"a@b.c", true},
                 {"a@example", false},
                 {"a@.com", false},
                 {"a@b.com.", false},
                 {"a b@c.com", false},
                 {"@c.com", false},
                 {"a@b.com\nx", false},
                 {"ä@b.com", false}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.address);
        EXPECT_EQ(isValidEmail(QString::fromUtf8(c.address)), c.valid);
    }
}

TEST(FeedbackFields, OrderAndOptionalEmailAndUtf8Encoding)
{
    const QList<FormField> without = feedbackFields(QStringLiteral("Orlith - Sentrel"), QStringLiteral("2.0"),
                                                    QStringLiteral("I like it!\rÜber & mehr"), QString());
    EXPECT_EQ(formEncode(without),
              QByteArray("cmd=feedback&appname=Orlith%20-%20Sentrel&version=2.0&feedback=I%20"
                         "like%20it%21%0D%C3%9Cber%20%26%20mehr"));
    const QList<FormField> with = feedbackFields(QStringLiteral("T"), QStringLiteral("2.0"),
                                                 QStringLiteral("m"), QStringLiteral("a+b@c.de"));
    ASSERT_EQ(with.size(), 5);
    EXPECT_EQ(with.back(), (FormField{QStringLiteral("email"), QStringLiteral("a+b@c.de")}));
    EXPECT_TRUE(formEncode(with).endsWith("&email=a%2Bb%40c.de"));
}

TEST(FeedbackAnswer, OnlyOkTrimmed)
{
    EXPECT_TRUE(isDelivered(QStringLiteral("OK")));
    EXPECT_TRUE(isDelivered(QStringLiteral("OK\r\n")));
    EXPECT_FALSE(isDelivered(QStringLiteral("ok")));
    EXPECT_FALSE(isDelivered(QString()));
    EXPECT_FALSE(isDelivered(QStringLiteral("OK then")));
}

namespace {
std::string bodyOf(const ReceivedRequest &request)
{
    const std::size_t end = request.raw.find("\r\n\r\n");
    return end == std::string::npos ? std::string() : request.raw.substr(end + 4);
}
QString hostOf(const LoopbackServer &server)
{
    return QStringLiteral("127.0.0.1:") + QString::number(server.port());
}
} // namespace

TEST(FeedbackPost, HttpsFailsThenHttpCarriesTheFields)
{
    // A plain server: the https attempt fails its handshake, the http one arrives.
    LoopbackServer server;
    server.on("/php/feedback.php", Reply::ok("OK\r\n"));
    CurlFormPoster poster;
    const QList<FormField> fields = feedbackFields(QStringLiteral("Orlith - Sentrel"), QStringLiteral("2.0"),
                                                   QStringLiteral("Größe"), QStringLiteral("me@x.org"));
    const QString response = postFeedback(poster, hostOf(server), fields);
    EXPECT_TRUE(isDelivered(response)) << response.toStdString();
    const std::vector<ReceivedRequest> requests = server.requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].method, "POST");
    EXPECT_EQ(requests[0].target, "/php/feedback.php");
    EXPECT_EQ(requests[0].header("Content-Type"), "application/x-www-form-urlencoded");
    EXPECT_EQ(requests[0].header("Connection"), "close");
    EXPECT_EQ(bodyOf(requests[0]), formEncode(fields).toStdString());
}

TEST(FeedbackPost, ErrorStatusFallsBackAndBothFailingGiveNoAnswer)
{
    LoopbackServer server;
    server.on("/php/feedback.php", Reply::status("HTTP/1.1 500 Internal Server Error", {}, "OK"));
    CurlFormPoster poster;
    EXPECT_THROW(poster.post(server.url("/php/feedback.php"), {}), Error);
    EXPECT_EQ(postFeedback(poster, hostOf(server), {}), QString());
    EXPECT_EQ(postFeedback(poster, QStringLiteral("127.0.0.1:") + QString::number(closedPort()), {}),
              QString());
}

TEST(FeedbackPost, SilentServerTimesOutWithinTheLimits)
{
    LoopbackServer server;
    server.on("/php/feedback.php", Reply().pause(std::chrono::milliseconds(8000)));
    CurlFormPoster poster;
    QElapsedTimer clock;
    clock.start();
    EXPECT_THROW(poster.post(server.url("/php/feedback.php"), {}), Error);
    EXPECT_LT(clock.elapsed(), 6500);
}

namespace {

class ScriptedPoster : public FormPoster {
public:
    QString post(const QString &url, const QList<FormField> &fields) override
    {
        urls.append(url);
        sent.push_back(fields);
        if (answer.isNull())
            throw Error(QStringLiteral("unreachable"));
        return answer;
    }
    QString answer;
    QStringList urls;
    std::vector<QList<FormField>> sent;
};

class FeedbackFormTest : public ::testing::Test {
protected:
    FeedbackContext context()
    {
        return {translator,
                QStringLiteral("Sentrel"),
                QStringLiteral("Orlith - Sentrel"),
                QStringLiteral("2.0"),
                QStringLiteral("www.maker.test"),
                poster,
                boxes,
                [this] { ++beeps; }};
    }
    Translator translator;
    ScriptedPoster poster;
    RecordedBoxes boxes;
    int beeps = 0;
};

} // namespace

TEST_F(FeedbackFormTest, CaptionsAndPanelsToggle)
{
    TFeedbackForm form(context());
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Sentrel feedback"));
    EXPECT_EQ(form.BitBtn1->text(), QStringLiteral("Send"));
    QTest::mouseClick(form.Panel4, Qt::LeftButton);
    EXPECT_TRUE(form.Panel4->isSelected());
    QTest::mouseClick(form.Panel5, Qt::RightButton);
    EXPECT_FALSE(form.Panel5->isSelected());
    QTest::mouseClick(form.Panel5, Qt::LeftButton);
    EXPECT_TRUE(form.Panel5->isSelected());
    EXPECT_FALSE(form.Panel4->isSelected());
    QTest::mouseClick(form.Panel5, Qt::LeftButton);
    EXPECT_FALSE(form.Panel5->isSelected());
    EXPECT_FALSE(form.Panel4->isSelected());
}

TEST_F(FeedbackFormTest, BlankMessageBeepsAndSendsNothing)
{
    TFeedbackForm form(context());
    form.Panel4->setSelected(true);
    form.Memo1->setPlainText(QStringLiteral("  \n\t\n"));
    form.BitBtn1->click();
    EXPECT_EQ(beeps, 1);
    EXPECT_TRUE(poster.urls.isEmpty());
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(FeedbackFormTest, InvalidEmailIsRefused)
{
    TFeedbackForm form(context());
    form.Memo1->setPlainText(QStringLiteral("Great tool"));
    form.Edit1->setText(QStringLiteral("me@nodot"));
    form.BitBtn1->click();
    EXPECT_TRUE(poster.urls.isEmpty());
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].kind, MessageKind::Error);
    EXPECT_EQ(boxes.shown[0].caption, QStringLiteral("Failure"));
    EXPECT_EQ(boxes.shown[0].text, QStringLiteral("Invalid e-mail address!"));
}

TEST_F(FeedbackFormTest, DeliveredClosesTheForm)
{
    poster.answer = QStringLiteral("OK\n");
    TFeedbackForm form(context());
    form.show();
    form.Panel4->setSelected(true);
    form.Memo1->setPlainText(QStringLiteral("Great tool"));
    form.Edit1->setText(QStringLiteral("me@x.org "));
    form.BitBtn1->click();
    EXPECT_EQ(poster.urls, QStringList{QStringLiteral("https://www.maker.test/php/feedback.php")});
    ASSERT_EQ(poster.sent.size(), 1u);
    EXPECT_EQ(poster.sent[0],
              feedbackFields(QStringLiteral("Orlith - Sentrel"), QStringLiteral("2.0"),
                             QStringLiteral("I like it!\rGreat tool"), QStringLiteral("me@x.org")));
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].kind, MessageKind::Information);
    EXPECT_EQ(boxes.shown[0].caption, QStringLiteral("Success"));
    EXPECT_EQ(boxes.shown[0].text, QStringLiteral("Your feedback is received.\r\rThank you!"));
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(form.result(), QDialog::Accepted);
}

TEST_F(FeedbackFormTest, NotDeliveredKeepsTheFormAndItsText)
{
    poster.answer = QString(); // both posts fail
    TFeedbackForm form(context());
    form.show();
    form.Memo1->setPlainText(QStringLiteral("Great tool"));
    form.BitBtn1->click();
    EXPECT_EQ(poster.urls, (QStringList{QStringLiteral("https://www.maker.test/php/feedback.php"),
                                        QStringLiteral("http://www.maker.test/php/feedback.php")}));
    EXPECT_EQ(poster.sent[0].size(), 4); // no email field
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].kind, MessageKind::Error);
    EXPECT_EQ(boxes.shown[0].text,
              QStringLiteral("Something went wrong. Your feedback could not be delivered.\r\r"
                             "Please try again later."));
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(form.Memo1->toPlainText(), QStringLiteral("Great tool"));
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);

    poster.answer = QStringLiteral("ok");
    form.BitBtn1->click();
    EXPECT_TRUE(form.isVisible());
}

TEST_F(FeedbackFormTest, TranslatedPanelCaptionJoinsTheMessage)
{
    QTemporaryDir dir;
    QDir(dir.path()).mkpath(QStringLiteral("Languages"));
    const auto write = [&](const QString &name, const QByteArray &bytes) {
        QFile f(dir.path() + QStringLiteral("/Languages/") + name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    };
    write(QStringLiteral("LanguageCodes.csv"), "1031,Germanlang.txt\r\n");
    write(QStringLiteral("Germanlang.txt"), "{I like it!}Gef\xC3\xA4llt mir!\r\n{feedback}R\xC3\xBC"
                                            "ckmeldung\r\n");
    translator = Translator::load(dir.path(), 1031);
    ASSERT_TRUE(translator.active());
    TFeedbackForm form(context());
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Sentrel Rückmeldung"));
    form.Panel4->setSelected(true);
    form.Memo1->setPlainText(QStringLiteral("Super"));
    EXPECT_EQ(form.message(), QStringLiteral("I like it! (Gefällt mir!)\rSuper"));
}

TEST_F(FeedbackFormTest, EscapeClosesWithoutSending)
{
    for (int field = 0; field < 2; ++field) {
        SCOPED_TRACE(field);
        TFeedbackForm form(context());
        form.show();
        form.Memo1->setPlainText(QStringLiteral("Great tool"));
        QWidget *target = field == 0 ? static_cast<QWidget *>(form.Memo1) : form.Edit1;
        QTest::keyClick(target, Qt::Key_Escape);
        EXPECT_FALSE(form.isVisible());
        EXPECT_EQ(form.result(), QDialog::Rejected);
        EXPECT_TRUE(form.Edit1->text().isEmpty()); // the key is not typed into the field
    }
    EXPECT_TRUE(poster.urls.isEmpty());
}
