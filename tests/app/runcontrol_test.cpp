// The window's runs end as they should and never overlap: a row that fails
// leaves the rest of its run, its ending and its notifications as usual, and
// while a run is under way "Check All" stops it instead of starting another.
#include "app/actionpage.h"
#include "app/codeeditor.h"
#include "app/intervalbar.h"
#include "app/runcontrol.h"
#include "app/urllistview.h"
#include "check/autocheck.h"
#include "storage/websiteoptions.h"
#include "support/loopbackserver.h"
#include "support/qtext.h"
#include "windowfixture.h"
#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QPushButton>
#include <climits>
#include <condition_variable>
#include <gtest/gtest.h>
#include <mutex>

namespace sentrel::test {
namespace {

// A page whose every request waits until the window's thread has run
// `whileHeld` (once, for the first request that finds it set): the test acts
// in the middle of a download, while the run lets messages through.
class HeldPage {
public:
    explicit HeldPage(std::vector<std::string> bodies) : bodies_(std::move(bodies))
    {
        server.onOther([this](const ReceivedRequest &) {
            std::unique_lock lock(mutex_);
            const int index = requests_++;
            QMetaObject::invokeMethod(
                QCoreApplication::instance(),
                [this] {
                    if (std::function<void()> act = std::exchange(whileHeld, {}))
                        act();
                    releaseOne();
                },
                Qt::QueuedConnection);
            released_.wait(lock, [&] { return releases_ > index; });
            return Reply::ok(bodies_[std::min<std::size_t>(index, bodies_.size() - 1)]);
        });
    }
    ~HeldPage()
    {
        std::lock_guard lock(mutex_);
        releases_ = INT_MAX;
        released_.notify_all();
    }

    QString url() const { return server.url("/held"); }
    std::function<void()> whileHeld;

private:
    void releaseOne()
    {
        std::lock_guard lock(mutex_);
        ++releases_;
        released_.notify_all();
    }

    std::vector<std::string> bodies_;
    std::mutex mutex_;
    std::condition_variable released_;
    int requests_ = 0;
    int releases_ = 0;

public:
    LoopbackServer server; // last: its threads end before the rest goes
};

class WindowRunTest : public ::testing::Test {
protected:
    void addUrls(const QStringList &urls) { fixture.addUrls(urls.join(u'\n')); }
    // The request targets in the order the server got them.
    static QStringList targets(const LoopbackServer &server)
    {
        QStringList out;
        for (const ReceivedRequest &request : server.requests())
            out.append(QString::fromStdString(request.target));
        return out;
    }

    WindowFixture fixture;
};

TEST_F(WindowRunTest, AnUnusablePatternFailsItsRowAndTheRunStillEndsAndAnnouncesItsChanges)
{
    LoopbackServer server;
    for (const char *target : {"/a", "/c"}) {
        server.on(target, Reply::ok("<p>before</p>"));
        server.on(target, Reply::ok("<p>after</p>"));
    }
    server.on("/bad", Reply::ok("<p>bad</p>"));
    const QString a = server.url("/a"), bad = server.url("/bad"), c = server.url("/c");
    TAppForm &window = fixture.start();
    addUrls({a, bad, c});
    window.commands().ToolButton1->trigger(); // the first checks
    ASSERT_EQ(fixture.statuses(), QStringList({u16(u"OK"), u16(u"OK"), u16(u"OK")}));
    window.actionPage()->beepBox()->click();
    window.actionPage()->showMessageBox()->click();
    WebsiteOptions options;
    options.regex = QStringLiteral("(");
    window.store().editUrl(bad, bad, options);

    window.commands().ToolButton1->trigger();
    const QString error = u16(u"Error in regular expression at offset 1: missing closing parenthesis");
    EXPECT_EQ(fixture.statuses(), QStringList({u16(u"Changed!"), error, u16(u"Changed!")}));
    const QStringList log = window.logPane()->toPlainText().split(u'\n');
    ASSERT_EQ(log.size(), 3) << window.logPane()->toPlainText().toStdString();
    EXPECT_TRUE(log[0].endsWith(u16(u" (Changed) ") + a));
    EXPECT_TRUE(log[1].endsWith(u16(u" (Error: ") + error + u16(u") ") + bad));
    EXPECT_TRUE(log[2].endsWith(u16(u" (Changed) ") + c));
    EXPECT_EQ(window.statusText(), u16(u"Complete"));
    EXPECT_TRUE(fixture.boxes.confirmations.empty()) << "no error box";
    EXPECT_EQ(fixture.platform.events, QStringList({u16(u"beep")}));
    ASSERT_EQ(fixture.boxes.messages.size(), 1u);
    EXPECT_EQ(fixture.boxes.messages[0].text, u16(u"Changed URLs:\r\r") + a + u16(u"\r\n") + c);
}

TEST_F(WindowRunTest, ARowDeletedDuringItsDownloadLeavesNoLoadingTextBehind)
{
    HeldPage page({"<p>held</p>"});
    TAppForm &window = fixture.start();
    addUrls({page.url()});
    page.whileHeld = [&] {
        fixture.selectRows({0});
        window.commands().Delete1->trigger();
    };
    window.commands().ToolButton1->trigger();

    EXPECT_TRUE(fixture.captions().isEmpty());
    EXPECT_FALSE(window.statusText().startsWith(u16(u"Loading "))) << window.statusText().toStdString();
    EXPECT_TRUE(window.logPane()->toPlainText().isEmpty());
    EXPECT_TRUE(fixture.boxes.confirmations.empty()) << "no error box";
}

TEST_F(WindowRunTest, CheckAllDuringARunBecomesStopAndEndsTheRunAfterThePageInProgress)
{
    HeldPage page({"<p>one</p>", "<p>two</p>"});
    page.server.on("/b", Reply::ok("<p>b</p>"));
    page.server.on("/c", Reply::ok("<p>c</p>"));
    TAppForm &window = fixture.start();
    QAction *checkAll = window.commands().ToolButton1;
    QAction *checkUrl = window.commands().CheckURL1;
    addUrls({page.url(), page.server.url("/b"), page.server.url("/c")});
    checkAll->trigger(); // the first checks
    ASSERT_EQ(fixture.statuses(), QStringList({u16(u"OK"), u16(u"OK"), u16(u"OK")}));
    window.actionPage()->showMessageBox()->click();

    QString captionDuringRun;
    bool checkUrlEnabledDuringRun = true;
    page.whileHeld = [&] {
        captionDuringRun = checkAll->text();
        checkUrlEnabledDuringRun = checkUrl->isEnabled();
        fixture.selectRows({1});
        checkUrl->trigger();
        checkAll->trigger();
    };
    checkAll->trigger();

    EXPECT_EQ(captionDuringRun, u16(u"Stop"));
    EXPECT_FALSE(checkUrlEnabledDuringRun);
    EXPECT_EQ(targets(page.server), QStringList({u16(u"/held"), u16(u"/b"), u16(u"/c"), u16(u"/held")}))
        << "one request for the page in progress, none after it";
    EXPECT_EQ(fixture.statuses(), QStringList({u16(u"Changed!"), u16(u""), u16(u"")}));
    EXPECT_EQ(window.statusText(), u16(u"Complete"));
    ASSERT_EQ(fixture.boxes.messages.size(), 1u);
    EXPECT_EQ(fixture.boxes.messages[0].text, u16(u"Changed URLs:\r\r") + page.url());
    EXPECT_EQ(checkAll->text(), u16(u"Check All"));
    EXPECT_TRUE(checkUrl->isEnabled());
}

TEST_F(WindowRunTest, ACountdownRunningOutDuringARunStartsItsRunWhenThatOneHasEnded)
{
    HeldPage page({"<p>held</p>"});
    page.server.on("/b", Reply::ok("<p>b</p>"));
    TAppForm &window = fixture.start();
    addUrls({page.url(), page.server.url("/b")});
    window.intervalBar()->autoCheckBox()->click();
    while (window.autoCheck().countdown() > 1)
        window.runControl().timerTick();

    QStringList requestedWhileWaiting;
    page.whileHeld = [&] {
        window.runControl().timerTick(); // the countdown's last second
        requestedWhileWaiting = targets(page.server);
    };
    window.commands().ToolButton1->trigger();

    EXPECT_EQ(requestedWhileWaiting, QStringList({u16(u"/held")})) << "no run inside the run";
    EXPECT_EQ(targets(page.server), QStringList({u16(u"/held"), u16(u"/b"), u16(u"/held"), u16(u"/b")}))
        << "the automatic run after the first";
    EXPECT_EQ(window.statusText(), u16(u"Auto Check Complete"));
    EXPECT_GT(window.autoCheck().countdown(), 1) << "counting down again";
}

} // namespace
} // namespace sentrel::test
