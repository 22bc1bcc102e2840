// What the window tells the user besides the runs' results: the changed-URLs
// notice that stays open while automatic checking goes on.
#include "app/actionpage.h"
#include "app/codeeditor.h"
#include "app/intervalbar.h"
#include "app/onlinehelp.h"
#include "dialogs/messageboxes.h"
#include "support/loopbackserver.h"
#include "support/qtext.h"
#include "windowfixture.h"
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <gtest/gtest.h>
#include <map>
#include <mutex>

namespace sentrel::test {
namespace {

// Pages whose bodies the test changes between runs.
class ChangingPages {
public:
    ChangingPages()
    {
        server.onOther([this](const ReceivedRequest &request) {
            const std::lock_guard lock(mutex_);
            return Reply::ok("<p>" + bodies_[request.target] + "</p>");
        });
    }
    void set(const std::string &target, const std::string &body)
    {
        const std::lock_guard lock(mutex_);
        bodies_[target] = body;
    }
    LoopbackServer server;

private:
    std::mutex mutex_;
    std::map<std::string, std::string> bodies_;
};

class NoticesTest : public ::testing::Test {
protected:
    void addUrls(const QString &text) { fixture.addUrls(text); }
    // Counts the automatic checking's countdown down to its run, as its timer would.
    void runAutomatically()
    {
        AutoCheck &autoCheck = fixture.window().autoCheck();
        for (int left = autoCheck.countdown(); left > 0; --left)
            autoCheck.TimerAutoTimer();
    }

    WindowFixture fixture;
};

TEST_F(NoticesTest, AnUnansweredChangesNoticeTakesTheNextAutomaticRunsUrls)
{
    ChangingPages pages;
    pages.set("/a", "a1");
    pages.set("/b", "b1");
    const QString a = pages.server.url("/a");
    const QString b = pages.server.url("/b");
    TAppForm &window = fixture.start();
    addUrls(a + u'\n' + b);
    window.commands().ToolButton1->trigger(); // the first texts
    window.actionPage()->showMessageBox()->click();
    window.intervalBar()->autoCheckBox()->click();
    fixture.boxes.leaveNoticesOpen = true;

    pages.set("/a", "a2");
    runAutomatically();
    ASSERT_EQ(fixture.boxes.messages.size(), 1u);
    EXPECT_EQ(fixture.boxes.messages[0].text, u16(u"Changed URLs:\r\r") + a);
    EXPECT_TRUE(fixture.boxes.changesNoticeOpen());

    // The notice is still unanswered: the countdown goes on to the next run,
    // whose change joins the same notice.
    EXPECT_FALSE(window.autoCheck().running());
    pages.set("/b", "b2");
    runAutomatically();
    EXPECT_EQ(fixture.statuses(), QStringList({u16(u"OK"), u16(u"Changed!")}));
    ASSERT_EQ(fixture.boxes.messages.size(), 1u) << "no second box";
    EXPECT_EQ(fixture.boxes.messages[0].kind, MessageKind::Information);
    EXPECT_EQ(fixture.boxes.messages[0].text, u16(u"Changed URLs:\r\r") + a + u16(u"\r\n") + b);

    // Once answered, the next change has a notice of its own.
    fixture.boxes.answerNotice();
    pages.set("/a", "a3");
    runAutomatically();
    ASSERT_EQ(fixture.boxes.messages.size(), 2u);
    EXPECT_EQ(fixture.boxes.messages[1].text, u16(u"Changed URLs:\r\r") + a);
}

TEST_F(NoticesTest, OnlineHelpWithoutABrowserSaysSoOnceInTheLog)
{
    TAppForm &window = fixture.start();
    window.commands().Help2->trigger();
    EXPECT_TRUE(window.logPane()->toPlainText().isEmpty()) << "a success shows nothing";

    fixture.shell.noBrowser = true;
    window.commands().Help2->trigger();
    window.commands().ToolButton10->trigger();
    window.commands().Help2->trigger();
    EXPECT_EQ(fixture.shell.opened.size(), 4);
    EXPECT_EQ(window.logPane()->toPlainText(),
              u16(u"No web browser could open the online help: ") + onlineHelpAddress(u16(u"Sentrel")));
    EXPECT_TRUE(fixture.boxes.messages.empty());
    EXPECT_TRUE(fixture.boxes.confirmations.empty());
}

QList<QMessageBox *> openBoxes()
{
    QList<QMessageBox *> boxes;
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (auto *box = qobject_cast<QMessageBox *>(widget); box != nullptr && box->isVisible())
            boxes.append(box);
    return boxes;
}

TEST(QtChangesNotice, StaysOpenWithoutBlockingAndTakesLaterTextsInTheSameBox)
{
    QtMessageBoxes boxes;
    boxes.showChangesNotice(QStringLiteral("INFORMATION"), QStringLiteral("Changed URLs:\r\rhttp://a/"));
    // Reached at once: nothing waits for an answer.
    ASSERT_EQ(openBoxes().size(), 1);
    QMessageBox *notice = openBoxes().front();
    EXPECT_FALSE(notice->isModal());
    EXPECT_TRUE(boxes.changesNoticeOpen());

    boxes.showChangesNotice(QStringLiteral("INFORMATION"),
                            QStringLiteral("Changed URLs:\r\rhttp://a/\r\nhttp://b/"));
    ASSERT_EQ(openBoxes(), QList<QMessageBox *>{notice});
    EXPECT_EQ(notice->text(), QStringLiteral("Changed URLs:\r\rhttp://a/\r\nhttp://b/"));
    EXPECT_EQ(notice->windowTitle(), QStringLiteral("INFORMATION"));

    notice->button(QMessageBox::Ok)->click();
    EXPECT_FALSE(boxes.changesNoticeOpen());
    boxes.showChangesNotice(QStringLiteral("INFORMATION"), QStringLiteral("Changed URLs:\r\rhttp://c/"));
    ASSERT_EQ(openBoxes().size(), 1);
    EXPECT_EQ(openBoxes().front()->text(), QStringLiteral("Changed URLs:\r\rhttp://c/"));
    openBoxes().front()->button(QMessageBox::Ok)->click();
}

} // namespace
} // namespace sentrel::test
