// The main window driven as a user would: its layout and command table, adding
// and removing URLs, runs against the loopback server, the preview, the
// editing menus, and the settings each change writes and the next start applies.
#include "app/actionpage.h"
#include "app/codeeditor.h"
#include "app/editmenu.h"
#include "app/filefilter.h"
#include "app/intervalbar.h"
#include "app/onlinehelp.h"
#include "app/previewpanel.h"
#include "app/runlockgate.h"
#include "app/urllistview.h"
#include "dialogs/editurl.h"
#include "dialogs/exclusionform.h"
#include "storage/runlock.h"
#include "support/loopbackserver.h"
#include "support/qtext.h"
#include "windowfixture.h"
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <algorithm>
#include <atomic>
#include <functional>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace sentrel::test {
namespace {

using ::testing::ElementsAre;

// Handles what a click or a resize left queued (window-system events, zero
// timers, deleteLater) without waiting for anything else.
void handlePendingEvents()
{
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

// Captions of a menu's items in order, "-" for a separator.
QStringList menuItems(const QMenu *menu)
{
    QStringList out;
    for (const QAction *action : menu->actions())
        out.append(action->isSeparator() ? QStringLiteral("-") : action->text());
    return out;
}

QMenu *topMenu(TAppForm &window, const QString &title)
{
    for (QAction *action : window.menuBar()->actions())
        if (action->text() == title)
            return action->menu();
    return nullptr;
}

std::string okBytes(const std::string &body)
{
    return "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nContent-Length: " + std::to_string(body.size()) +
           "\r\n\r\n" + body;
}

class MainWindowTest : public ::testing::Test {
protected:
    void addUrls(const QString &text) { fixture.addUrls(text); }

    WindowFixture fixture;
};

// --- Layout and command table ---------------------------------------------

TEST_F(MainWindowTest, LayoutMatchesTheCommandTable)
{
    TAppForm &window = fixture.start();
    EXPECT_EQ(window.windowTitle(), u16(u"Orlith - Sentrel"));

    QStringList buttons;
    QStringList hints;
    for (QAction *action : window.commands().ToolBar1->actions()) {
        buttons.append(action->isSeparator() ? QStringLiteral("-") : action->text());
        if (!action->isSeparator())
            hints.append(action->toolTip());
    }
    EXPECT_EQ(buttons, QStringList({u16(u"Add URLs"), u16(u"Load List"), u16(u"Save List"), u16(u"-"),
                                    u16(u"Check All"), u16(u"-"), u16(u"Edit"), u16(u"-"), u16(u"Feedback"),
                                    u16(u"About"), u16(u"Help")}));
    EXPECT_EQ(hints, QStringList({u16(u"Add URLs to the list"), u16(u"Load file list"),
                                  u16(u"Save file list"), u16(u"Check all URLs"), u16(u"Edit selected item"),
                                  u16(u"Show feedback form"), u16(u"Show aboutbox"), u16(u"Online help")}));
    EXPECT_EQ(window.commands().ToolBar1->iconSize(), QSize(64, 64));

    EXPECT_EQ(menuItems(topMenu(window, u16(u"File"))),
              QStringList({u16(u"Add URLs..."), u16(u"Load List..."), u16(u"Save List..."), u16(u"-"),
                           u16(u"Exit")}));
    EXPECT_EQ(menuItems(topMenu(window, u16(u"Settings"))),
              QStringList({u16(u"Auto Run at Startup"), u16(u"Minimize at Startup"),
                           u16(u"Minimize to System Tray"), u16(u"-"), u16(u"Exclusions..."),
                           u16(u"Strip Method"), u16(u"-"), u16(u"Reset to Defaults...")}));
    EXPECT_EQ(menuItems(window.commands().StripMethod1),
              QStringList({u16(u"Internet Explorer"), u16(u"Regex + HTML Decode"),
                           u16(u"StringBuilder + HTML Decode")}));
    EXPECT_EQ(menuItems(topMenu(window, u16(u"Help"))),
              QStringList({u16(u"Online Help"), u16(u"-"), u16(u"Update Notifications"), u16(u"-"),
                           u16(u"Send &Feedback..."), u16(u"&About...")}));
    EXPECT_EQ(menuItems(window.commands().PopupMenu1),
              QStringList({u16(u"Edit..."), u16(u"History..."), u16(u"-"), u16(u"Check URL"),
                           u16(u"Copy URL to Clipboard"), u16(u"Open URL with Default Browser"), u16(u"-"),
                           u16(u"Delete"), u16(u"Select All")}));
    EXPECT_EQ(menuItems(window.logMenu()),
              QStringList({u16(u"Undo"), u16(u"-"), u16(u"Cut"), u16(u"Copy"), u16(u"Paste"), u16(u"Delete"),
                           u16(u"-"), u16(u"Select All")}));

    const AppCommands &c = window.commands();
    EXPECT_EQ(c.Help2->shortcut(), QKeySequence(Qt::Key_F1));
    EXPECT_TRUE(c.UpdateNotifications1->isChecked());
    EXPECT_FALSE(c.UpdateNotifications1->isEnabled());
    EXPECT_FALSE(c.UpdateNotifications1->isVisible());
    EXPECT_FALSE(c.UpdateSeparator->isVisible());
    EXPECT_TRUE(c.InternetExplorer1->isChecked());
    EXPECT_FALSE(c.StartMinimized1->isEnabled());

    EXPECT_EQ(window.pages()->count(), 3);
    EXPECT_EQ(window.pages()->tabText(0), u16(u"URL List"));
    EXPECT_EQ(window.pages()->tabText(1), u16(u"Action"));
    EXPECT_EQ(window.pages()->tabText(2), u16(u"Log"));
    EXPECT_EQ(window.pages()->currentIndex(), 0);

    const UrlListView *list = window.urlList();
    EXPECT_EQ(list->model()->headerData(0, Qt::Horizontal).toString(), u16(u"URL"));
    EXPECT_EQ(list->model()->headerData(1, Qt::Horizontal).toString(), u16(u"Last Change"));
    EXPECT_EQ(list->model()->headerData(2, Qt::Horizontal).toString(), u16(u"Status"));
    EXPECT_EQ(list->horizontalHeader()->sectionSize(1), 150);
    EXPECT_EQ(list->horizontalHeader()->sectionSize(2), 150);
    EXPECT_EQ(list->selectionMode(), QAbstractItemView::ExtendedSelection);
    EXPECT_TRUE(list->showGrid());

    const IntervalBar *bar = window.intervalBar();
    EXPECT_FALSE(bar->autoCheckBox()->isChecked());
    EXPECT_FALSE(bar->intervalLabel()->isEnabled());
    EXPECT_FALSE(bar->intervalControl()->isEnabled());
    EXPECT_EQ(bar->intervalControl()->value(), 60);
    EXPECT_EQ(bar->intervalControl()->minimum(), 10);
    EXPECT_EQ(bar->intervalControl()->maximum(), 999999999);
    EXPECT_FALSE(bar->countdownLabel()->isVisible());

    const ActionPage *page = window.actionPage();
    EXPECT_EQ(page->soundFileField()->text(), u16(u"[None]"));
    EXPECT_FALSE(page->soundFileField()->isEnabled());
    EXPECT_FALSE(page->browseButton()->isEnabled());
    EXPECT_FALSE(window.contentPanel()->isVisible());
    EXPECT_EQ(window.logPane()->gutterDigits(), 3);
}

// --- Adding and removing URLs ---------------------------------------------

TEST_F(MainWindowTest, AddUrlsDialogStartsWithSelectedSamplesAndAddsThroughEkle)
{
    TAppForm &window = fixture.start();
    window.ToolButton3Click();
    TFormAddURLs *dialog = window.addUrlsDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_FALSE(dialog->isModal());
    EXPECT_EQ(dialog->windowTitle(), u16(u"Add URLs"));
    const QStringList samples = dialog->editor()->toPlainText().split(u'\n');
    ASSERT_EQ(samples.size(), 5);
    for (const QString &line : samples)
        EXPECT_TRUE(line.startsWith(u16(u"https://"))) << line.toStdString();
    // Everything is selected, so typing replaces the samples.
    QTest::keyClicks(dialog->editor(), u16(u"example.com"));
    EXPECT_EQ(dialog->editor()->toPlainText(), u16(u"example.com"));

    dialog->editor()->setPlainText(
        u16(u"  example.com  \n\nhttps://Example.com/A\nexample.com\nHTTPS://x.org\n"));
    dialog->addButton()->click();
    handlePendingEvents();
    EXPECT_EQ(fixture.captions(), QStringList({u16(u"http://example.com"), u16(u"https://Example.com/A"),
                                               u16(u"HTTPS://x.org")}));
    EXPECT_TRUE(fixture.boxes.messages.empty());
    EXPECT_EQ(window.addUrlsDialog(), nullptr); // closed and gone

    // The rows are in the store: the next start lists them again.
    fixture.start();
    EXPECT_EQ(fixture.captions(), QStringList({u16(u"http://example.com"), u16(u"https://Example.com/A"),
                                               u16(u"HTTPS://x.org")}));
}

TEST_F(MainWindowTest, AddUrlsCancelAndEscapeAddNothing)
{
    TAppForm &window = fixture.start();
    window.ToolButton3Click();
    window.addUrlsDialog()->cancelButton()->click();
    window.ToolButton3Click();
    QTest::keyClick(window.addUrlsDialog()->editor(), Qt::Key_Escape);
    handlePendingEvents();
    EXPECT_EQ(window.urlList()->rowCount(), 0);
    EXPECT_EQ(window.addUrlsDialog(), nullptr);
}

TEST_F(MainWindowTest, ClosingTheWindowClosesItsModelessDialogs)
{
    TAppForm &window = fixture.start();
    window.ToolButton3Click();
    window.commands().Exclusions1->trigger();
    window.close();
    handlePendingEvents();
    EXPECT_EQ(window.addUrlsDialog(), nullptr);
    const QWidgetList windows = QApplication::topLevelWidgets();
    EXPECT_TRUE(
        std::none_of(windows.cbegin(), windows.cend(), [](const QWidget *w) { return w->isVisible(); }));
}

TEST_F(MainWindowTest, DeleteKeyRemovesEverySelectedRowFromListAndStore)
{
    TAppForm &window = fixture.start();
    addUrls(u16(u"a.test\nb.test\nc.test\nd.test"));

    QTest::keyClick(window.urlList(), Qt::Key_Delete); // nothing selected: nothing goes
    EXPECT_EQ(window.urlList()->rowCount(), 4);

    fixture.selectRows({0, 2});
    QTest::keyClick(window.urlList(), Qt::Key_Delete, Qt::ShiftModifier);
    EXPECT_EQ(fixture.captions(), QStringList({u16(u"http://b.test"), u16(u"http://d.test")}));
    EXPECT_FALSE(window.store().lookup(u16(u"http://a.test")).has_value());
    EXPECT_TRUE(window.store().lookup(u16(u"http://b.test")).has_value());
    EXPECT_FALSE(window.store().lookup(u16(u"http://c.test")).has_value());
    EXPECT_FALSE(window.contentPanel()->isVisible());
}

TEST_F(MainWindowTest, SaveListAndLoadListGoThroughTheFileDialogs)
{
    TAppForm &window = fixture.start();
    addUrls(u16(u"a.test\nhttps://b.test/x"));
    const QString listFile = fixture.path(u16(u"list.txt"));
    fixture.files.saveAnswers = {listFile};
    window.commands().SaveList1->trigger();
    QFile saved(listFile);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), QByteArray("http://a.test\r\nhttps://b.test/x\r\n"));
    ASSERT_EQ(fixture.files.asked.size(), 1u);
    EXPECT_TRUE(fixture.files.asked[0].save);
    EXPECT_EQ(fixture.files.asked[0].suffix, u16(u"txt"));
    EXPECT_EQ(fixture.files.asked[0].filter, u16(u"Text File (*.txt)|*.txt|Any File (*.*)|*.*"));

    // Cancelled: nothing happens.
    window.commands().ToolButton2->trigger();
    EXPECT_EQ(window.urlList()->rowCount(), 2);

    QFile more(fixture.path(u16(u"more.txt")));
    ASSERT_TRUE(more.open(QIODevice::WriteOnly));
    more.write("c.test\r\n\r\nhttp://a.test\r\ncaf\xe9.test\r\n"); // not UTF-8: read as the 8-bit code page
    more.close();
    fixture.files.openAnswers = {more.fileName()};
    window.commands().LoadList1->trigger();
    EXPECT_EQ(fixture.captions(), QStringList({u16(u"http://a.test"), u16(u"https://b.test/x"),
                                               u16(u"http://c.test"), u16(u"http://caf\u00e9.test")}));

    // A file that cannot be read: the error box, nothing added.
    fixture.files.openAnswers = {fixture.path(u16(u"missing.txt"))};
    window.commands().ToolButton2->trigger();
    EXPECT_EQ(window.urlList()->rowCount(), 4);
    ASSERT_EQ(fixture.boxes.confirmations.size(), 1u);
    EXPECT_EQ(fixture.boxes.confirmations[0].kind, DialogKind::Error);
    EXPECT_EQ(fixture.boxes.confirmations[0].caption, u16(u"Sentrel"));
}

TEST_F(MainWindowTest, ListCommandsActOnTheSelectedRowsInListOrder)
{
    TAppForm &window = fixture.start();
    addUrls(u16(u"a.test\nb.test\nc.test"));
    fixture.selectRows({2, 0});
    window.commands().Copy1->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), u16(u"http://a.test\r\nhttp://c.test"));
    window.commands().OpenURLwithDefaultBrowser1->trigger();
    EXPECT_EQ(fixture.shell.opened, QStringList({u16(u"http://a.test"), u16(u"http://c.test")}));
    window.commands().SelectAll1->trigger();
    EXPECT_EQ(window.urlList()->selectionModel()->selectedRows().size(), 3);

    window.urlList()->clearSelection();
    window.commands().ToolButton8->trigger();
    ASSERT_EQ(fixture.boxes.messages.size(), 1u);
    EXPECT_EQ(fixture.boxes.messages[0].kind, MessageKind::Warning);
    EXPECT_EQ(fixture.boxes.messages[0].caption, u16(u"WARNING"));
    EXPECT_EQ(fixture.boxes.messages[0].text, u16(u"No item selected!"));
}

TEST_F(MainWindowTest, StoreThatCannotBeOpenedStillOpensTheWindow)
{
    QDir().mkpath(fixture.dataFolder() + u16(u"websites.db")); // a folder where the file should be
    TAppForm &window = fixture.start();
    EXPECT_TRUE(window.isVisible());
    ASSERT_EQ(fixture.boxes.messages.size(), 1u);
    EXPECT_EQ(fixture.boxes.messages[0].kind, MessageKind::Plain);
    EXPECT_TRUE(fixture.boxes.messages[0].text.startsWith(u16(u"Exception raised with message:\r\r")));

    // Adding still lists the URL and reports the store error.
    addUrls(u16(u"a.test"));
    EXPECT_EQ(fixture.captions(), QStringList({u16(u"http://a.test")}));
    ASSERT_EQ(fixture.boxes.messages.size(), 2u);
    EXPECT_TRUE(fixture.boxes.messages[1].text.startsWith(u16(u"Exception raised with message: ")));
}

TEST_F(MainWindowTest, FailingStartupStepShowsTheErrorBoxAndStillOpensTheWindow)
{
    struct Case {
        const char *name;
        std::function<void(const WindowFixture &)> prepare;
        const char16_t *messageStart; // of every error box shown
        bool storeOpen;
        bool startupComplete; // false: the steps after the failing one were skipped
    } const cases[] = {
        {"exclusion list that cannot be read ends start-up before the URL list",
         [](const WindowFixture &f) { ASSERT_TRUE(QDir().mkpath(f.dataFolder() + u16(u"exclusions.txt"))); },
         u"Cannot open file ", true, false},
        // Checking "Auto Check" rewrites the file; the link's target has a
        // name so long that no temporary file can be made beside it, so the
        // rewrite fails even where file permissions do not count. The box's
        // click handling reports its own failure, as a click would, and
        // start-up goes on.
        {"settings file that cannot be rewritten when start-up checks Auto Check",
         [](const WindowFixture &f) {
             const QString target = f.path(QString(250, u's'));
             QFile file(target);
             ASSERT_TRUE(file.open(QIODevice::WriteOnly));
             file.write("[Settings]\r\nAutoCheck=ON\r\n");
             file.close();
             ASSERT_TRUE(QFile::link(target, f.dataFolder() + u16(u"settings.ini")));
         },
         u"The settings could not be saved. ", true, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        WindowFixture f;
        c.prepare(f);
        if (::testing::Test::HasFatalFailure())
            return;
        TAppForm &window = f.start();
        EXPECT_TRUE(window.isVisible());
        EXPECT_EQ(window.windowTitle(), u16(u"Orlith - Sentrel"));
        EXPECT_TRUE(f.boxes.messages.empty());
        ASSERT_FALSE(f.boxes.confirmations.empty());
        for (const ConfirmationRequest &box : f.boxes.confirmations) {
            EXPECT_EQ(box.kind, DialogKind::Error);
            EXPECT_EQ(box.caption, u16(u"Sentrel"));
            EXPECT_TRUE(box.message.startsWith(QString::fromUtf16(c.messageStart)))
                << box.message.toStdString();
        }
        EXPECT_EQ(window.store().isOpen(), c.storeOpen);
        EXPECT_EQ(window.geometryMemory().startupComplete(), c.startupComplete);
    }
}

// --- Runs -----------------------------------------------------------------

TEST_F(MainWindowTest, RunsUpdateCellsStatusBarLogAndNotify)
{
    LoopbackServer server;
    server.on("/same", Reply::ok("<p>Always the same</p>"));
    server.on("/moving", Reply::ok("<p>First</p>"));
    server.on("/moving", Reply::ok("<p>Second</p>"));
    server.on("/gone", Reply::status("HTTP/1.1 404 Not Found"));
    TAppForm &window = fixture.start();
    addUrls(server.url("/same") + u'\n' + server.url("/moving") + u'\n' + server.url("/gone"));
    window.actionPage()->showMessageBox()->click();
    window.actionPage()->openUrlBox()->click();
    window.actionPage()->beepBox()->click();

    window.commands().ToolButton1->trigger();
    EXPECT_EQ(fixture.statuses(), QStringList({u16(u"OK"), u16(u"OK"), u16(u"404 Not Found")}));
    EXPECT_EQ(window.statusText(), u16(u"No Change Detected")); // first checks only
    EXPECT_TRUE(fixture.platform.events.isEmpty());
    EXPECT_TRUE(fixture.boxes.messages.empty());
    EXPECT_FALSE(window.urlList()->cell(0, UrlListView::LastChangeColumn).isEmpty());
    EXPECT_TRUE(window.urlList()->cell(2, UrlListView::LastChangeColumn).isEmpty());

    window.commands().ToolButton1->trigger();
    EXPECT_EQ(fixture.statuses(), QStringList({u16(u"OK"), u16(u"Changed!"), u16(u"404 Not Found")}));
    EXPECT_EQ(window.statusText(), u16(u"Complete"));
    const QStringList log = window.logPane()->toPlainText().split(u'\n');
    ASSERT_EQ(log.size(), 3);
    EXPECT_TRUE(log[0].endsWith(u16(u" (Error: 404 Not Found) ") + server.url("/gone")));
    EXPECT_TRUE(log[1].endsWith(u16(u" (Changed) ") + server.url("/moving")));
    EXPECT_EQ(fixture.platform.events, QStringList({u16(u"beep"), u16(u"open:") + server.url("/moving")}));
    ASSERT_EQ(fixture.boxes.messages.size(), 1u);
    EXPECT_EQ(fixture.boxes.messages[0].kind, MessageKind::Information);
    EXPECT_EQ(fixture.boxes.messages[0].caption, u16(u"INFORMATION"));
    EXPECT_EQ(fixture.boxes.messages[0].text, u16(u"Changed URLs:\r\r") + server.url("/moving"));

    // "Check URL" over an unchanged row: "Complete", no notification.
    fixture.selectRows({0});
    window.commands().CheckURL1->trigger();
    EXPECT_EQ(window.statusText(), u16(u"Complete"));
    EXPECT_EQ(fixture.statuses()[0], u16(u"OK"));
    EXPECT_EQ(fixture.boxes.messages.size(), 1u);

    // Nothing selected: the beep only.
    window.urlList()->clearSelection();
    fixture.platform.events.clear();
    window.commands().CheckURL1->trigger();
    EXPECT_EQ(fixture.platform.events, QStringList({u16(u"beep")}));
}

TEST_F(MainWindowTest, ClosingDuringCheckAllStopsAfterTheUrlBeingChecked)
{
    LoopbackServer server;
    Reply slow;
    slow.pause(std::chrono::milliseconds(500)).send(okBytes("<p>slow</p>"));
    server.on("/slow", slow);
    server.on("/b", Reply::ok("<p>b</p>"));
    server.on("/c", Reply::ok("<p>c</p>"));
    TAppForm &window = fixture.start();
    addUrls(server.url("/slow") + u'\n' + server.url("/b") + u'\n' + server.url("/c"));

    // The window keeps handling events while the page downloads: it repaints
    // and its close button works.
    bool repaintedDuringDownload = false;
    QTimer::singleShot(100, &window, [&] {
        window.logPane()->repaint();
        repaintedDuringDownload = window.statusText() == u16(u"Loading ") + server.url("/slow") + u16(u"...");
        window.close();
    });
    window.commands().ToolButton1->trigger();
    EXPECT_TRUE(repaintedDuringDownload);
    EXPECT_EQ(server.requests().size(), 1u);
    EXPECT_EQ(fixture.statuses(), QStringList({u16(u"OK"), u16(u""), u16(u"")}));
    EXPECT_EQ(window.statusText(), u16(u"No Change Detected"));
}

TEST_F(MainWindowTest, ARunHoldsTheDataFolderLockAndEndsAtOnceWhenAnotherProgramHoldsIt)
{
    LoopbackServer server;
    std::atomic<bool> lockedDuringRun = false;
    server.onOther([&](const ReceivedRequest &) {
        // A sentrel-cli run starting now would find the lock held.
        lockedDuringRun = RunLock::tryTake(fixture.dataFolder()) == nullptr;
        return Reply::ok("<p>a</p>");
    });
    TAppForm &window = fixture.start();
    addUrls(server.url("/a"));

    window.commands().ToolButton1->trigger();
    EXPECT_TRUE(lockedDuringRun);
    EXPECT_TRUE(RunLock::tryTake(fixture.dataFolder())) << "let go when the run ends";
    EXPECT_TRUE(fixture.boxes.confirmations.empty());

    // A check run of another program holds it: no waiting, the error box.
    std::unique_ptr<RunLock> other = RunLock::tryTake(fixture.dataFolder());
    ASSERT_TRUE(other);
    window.commands().ToolButton1->trigger();
    ASSERT_EQ(fixture.boxes.confirmations.size(), 1u);
    EXPECT_EQ(fixture.boxes.confirmations[0].kind, DialogKind::Error);
    EXPECT_EQ(fixture.boxes.confirmations[0].message, runLockHeldMessage());
    EXPECT_EQ(server.requests().size(), 1u);

    other.reset();
    fixture.selectRows({0});
    window.commands().CheckURL1->trigger();
    EXPECT_EQ(server.requests().size(), 2u);
    EXPECT_EQ(fixture.statuses(), QStringList({u16(u"OK")}));
}

TEST_F(MainWindowTest, ARowWhosePatternCannotBeUsedShowsItsErrorAndTheRunGoesOn)
{
    LoopbackServer server;
    server.on("/a", Reply::ok("<p>a</p>"));
    server.on("/bad", Reply::ok("<p>bad</p>"));
    server.on("/c", Reply::ok("<p>c</p>"));
    TAppForm &window = fixture.start();
    addUrls(server.url("/a") + u'\n' + server.url("/bad") + u'\n' + server.url("/c"));
    // Written by another program: the dialog would refuse the pattern.
    SqliteConnection(window.store().db()->path())
        .execute(u16(u"UPDATE WEBSITES SET REGEX = '(' WHERE URL = '") + server.url("/bad") + u16(u"'"));

    window.commands().ToolButton1->trigger();
    EXPECT_TRUE(fixture.boxes.confirmations.empty()) << "no error box";
    EXPECT_EQ(
        fixture.statuses(),
        QStringList({u16(u"OK"), u16(u"Error in regular expression at offset 1: missing closing parenthesis"),
                     u16(u"OK")}));
    EXPECT_EQ(window.statusText(), u16(u"No Change Detected"));
}

TEST_F(MainWindowTest, TypedIntervalRestartsTheCountdownAndIsWrittenAsTyped)
{
    TAppForm &window = fixture.start();
    window.intervalBar()->autoCheckBox()->click();
    QSpinBox *spin = window.intervalBar()->intervalControl();
    spin->setFocus();
    spin->selectAll();
    QTest::keyClicks(spin, u16(u"7"));
    EXPECT_EQ(window.autoCheck().countdown(), 10);
    EXPECT_TRUE(fixture.settingsText().contains(u16(u"Interval=7\r\n")));
    QTest::keyClicks(spin, u16(u"5"));
    EXPECT_EQ(window.autoCheck().countdown(), 75);
    EXPECT_TRUE(fixture.settingsText().contains(u16(u"Interval=75\r\n")));
    EXPECT_EQ(window.intervalBar()->countdownLabel()->text(), u16(u"75"));

    // Leaving the control with a value below the range corrects it to 10.
    spin->selectAll();
    QTest::keyClicks(spin, u16(u"5"));
    EXPECT_TRUE(fixture.settingsText().contains(u16(u"Interval=5\r\n")));
    window.logPane()->setFocus();
    QTest::keyClick(spin, Qt::Key_Enter); // editing finished
    EXPECT_EQ(spin->value(), 10);
    EXPECT_TRUE(fixture.settingsText().contains(u16(u"Interval=10\r\n")));
    EXPECT_EQ(window.autoCheck().countdown(), 10);
}

TEST_F(MainWindowTest, ClickShowsTheFirstSelectedRowsStoredTextAndRunsHideIt)
{
    LoopbackServer server;
    server.on("/a", Reply::ok("<p>Alpha text</p>"));
    server.on("/b", Reply::ok("<p>Beta text</p>"));
    TAppForm &window = fixture.start();
    addUrls(server.url("/a") + u'\n' + u16(u"never.test") + u'\n' + server.url("/b"));
    window.commands().ToolButton1->trigger();

    fixture.selectRows({2});
    fixture.clickRow(2);
    ASSERT_TRUE(window.contentPanel()->isVisible());
    EXPECT_EQ(window.contentPanel()->url(), server.url("/b"));
    EXPECT_TRUE(window.contentPanel()->editor()->toPlainText().contains(u16(u"Beta text")));
    EXPECT_EQ(window.contentPanel()->editor()->textCursor().position(), 0);

    // With rows 0 and 2 selected the first one is shown, whichever was clicked.
    fixture.selectRows({0, 2});
    fixture.clickRow(2);
    fixture.selectRows({0, 2});
    window.ListView1Click();
    EXPECT_EQ(window.contentPanel()->url(), server.url("/a"));

    // A URL never checked: the panel with an empty editor.
    fixture.selectRows({1});
    window.ListView1Click();
    EXPECT_TRUE(window.contentPanel()->isVisible());
    EXPECT_EQ(window.contentPanel()->url(), u16(u"http://never.test"));
    EXPECT_TRUE(window.contentPanel()->editor()->toPlainText().isEmpty());

    // While shown, a resize gives it a third of the window's height.
    window.resize(800, 600);
    handlePendingEvents();
    EXPECT_NEAR(window.contentPanel()->height(), 200, 2);

    window.commands().ToolButton1->trigger();
    EXPECT_FALSE(window.contentPanel()->isVisible());
    EXPECT_TRUE(window.contentPanel()->url().isEmpty());
}

// --- Text panes -------------------------------------------------------------

TEST_F(MainWindowTest, EditingMenusActOnTheirOwnPane)
{
    TAppForm &window = fixture.start();
    window.logPane()->setPlainText(u16(u"log line"));
    window.contentPanel()->editor()->setPlainText(u16(u"preview text"));
    window.contentPanel()->editor()->setFocus();

    window.logMenu()->selectAllAction()->trigger();
    window.logMenu()->cutAction()->trigger();
    EXPECT_TRUE(window.logPane()->toPlainText().isEmpty());
    EXPECT_EQ(QGuiApplication::clipboard()->text(), u16(u"log line"));
    EXPECT_EQ(window.contentPanel()->editor()->toPlainText(), u16(u"preview text"));

    window.logMenu()->pasteAction()->trigger();
    window.logMenu()->pasteAction()->trigger();
    EXPECT_EQ(window.logPane()->toPlainText(), u16(u"log linelog line"));
    window.logMenu()->undoAction()->trigger();
    EXPECT_EQ(window.logPane()->toPlainText(), u16(u"log line"));

    window.contentPanel()->editMenu()->selectAllAction()->trigger();
    window.contentPanel()->editMenu()->deleteAction()->trigger();
    EXPECT_TRUE(window.contentPanel()->editor()->toPlainText().isEmpty());
    EXPECT_EQ(window.logPane()->toPlainText(), u16(u"log line"));
}

TEST(CodeEditorTest, GutterGrowsPastThreeDigits)
{
    CodeEditor editor(true);
    EXPECT_EQ(editor.gutterDigits(), 3);
    const int narrow = editor.gutterWidth();
    QStringList lines;
    for (int i = 0; i < 1200; ++i)
        lines.append(QString::number(i));
    editor.setPlainText(lines.join(u'\n'));
    EXPECT_EQ(editor.gutterDigits(), 4);
    EXPECT_GT(editor.gutterWidth(), narrow);
}

// --- Settings ---------------------------------------------------------------

TEST_F(MainWindowTest, EveryChangeIsWrittenAtOnceAndAppliedAtTheNextStart)
{
    const QString sound = fixture.path(u16(u"ding.wav"));
    {
        TAppForm &window = fixture.start();
        window.actionPage()->beepBox()->click();
        EXPECT_TRUE(fixture.settingsText().contains(u16(u"Beep=ON\r\n")));
        window.actionPage()->playSoundBox()->click();
        EXPECT_TRUE(fixture.settingsText().contains(u16(u"PlaySound=ON\r\n")));
        EXPECT_TRUE(window.actionPage()->browseButton()->isEnabled());
        fixture.files.openAnswers = {sound};
        window.actionPage()->browseButton()->click();
        EXPECT_EQ(fixture.files.asked.back().suffix, u16(u"wav"));
        EXPECT_EQ(fixture.files.asked.back().filter, u16(u"WAV File (*.wav)|*.wav"));
        EXPECT_TRUE(fixture.settingsText().contains(u16(u"SoundFile=") + sound + u16(u"\r\n")));
        window.actionPage()->openUrlBox()->click();
        window.commands().Regex1->trigger();
        EXPECT_TRUE(fixture.settingsText().contains(u16(u"StripMethod=Regex\r\n")));
        EXPECT_TRUE(window.commands().Regex1->isChecked());
        EXPECT_FALSE(window.commands().InternetExplorer1->isChecked());
        window.intervalBar()->autoCheckBox()->click();
        EXPECT_TRUE(fixture.settingsText().contains(u16(u"AutoCheck=ON\r\n")));
        window.intervalBar()->intervalControl()->setValue(120);
        EXPECT_TRUE(fixture.settingsText().contains(u16(u"Interval=120\r\n")));
        window.commands().MinimizetoSystemTray1->trigger();
        EXPECT_TRUE(fixture.settingsText().contains(u16(u"MinimizeToSystemTray=ON\r\n")));
        fixture.stop(); // nothing is written at exit
    }
    TAppForm &window = fixture.start();
    EXPECT_TRUE(window.actionPage()->beepBox()->isChecked());
    EXPECT_TRUE(window.actionPage()->playSoundBox()->isChecked());
    EXPECT_TRUE(window.actionPage()->soundFileField()->isEnabled());
    EXPECT_EQ(window.actionPage()->soundFileField()->text(), sound);
    EXPECT_FALSE(window.actionPage()->showMessageBox()->isChecked());
    EXPECT_TRUE(window.actionPage()->openUrlBox()->isChecked());
    EXPECT_TRUE(window.commands().Regex1->isChecked());
    EXPECT_TRUE(window.commands().MinimizetoSystemTray1->isChecked());
    EXPECT_TRUE(window.intervalBar()->autoCheckBox()->isChecked());
    EXPECT_TRUE(window.intervalBar()->intervalControl()->isEnabled());
    EXPECT_EQ(window.intervalBar()->intervalControl()->value(), 120);
    EXPECT_TRUE(window.intervalBar()->countdownLabel()->isVisible());
    EXPECT_EQ(window.intervalBar()->countdownLabel()->text(), u16(u"120"));
    EXPECT_EQ(window.autoCheck().countdown(), 120);

    // Unchecking writes "OFF" because the key is there.
    window.intervalBar()->autoCheckBox()->click();
    EXPECT_TRUE(fixture.settingsText().contains(u16(u"AutoCheck=OFF\r\n")));
    EXPECT_FALSE(window.intervalBar()->countdownLabel()->isVisible());
    EXPECT_FALSE(window.intervalBar()->intervalControl()->isEnabled());
}

TEST_F(MainWindowTest, StartupReadsValuesExactly)
{
    struct Case {
        const char *name;
        const char16_t *lines;
        bool regex;
        bool autoCheck;
        int interval;
    } const cases[] = {
        {"lower-case regex keeps the browser method", u"StripMethod=regex\r\n", false, false, 60},
        {"Regex picks the regex method", u"StripMethod=Regex\r\n", true, false, 60},
        {"lower-case on leaves auto check off", u"AutoCheck=on\r\n", false, false, 60},
        {"interval below the minimum starts at 10", u"Interval=5\r\n", false, false, 10},
        {"interval that is no number starts at 60", u"Interval=abc\r\n", false, false, 60},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        fixture.stop();
        fixture.writeSettings(QString::fromUtf16(c.lines));
        TAppForm &window = fixture.start();
        EXPECT_EQ(window.commands().Regex1->isChecked(), c.regex);
        EXPECT_EQ(window.commands().InternetExplorer1->isChecked(), !c.regex);
        EXPECT_EQ(window.intervalBar()->autoCheckBox()->isChecked(), c.autoCheck);
        EXPECT_EQ(window.intervalBar()->intervalControl()->value(), c.interval);
    }
}

TEST_F(MainWindowTest, UncheckingAutoCheckWithoutTheKeyWritesNone)
{
    fixture.writeSettings(u16(u"Beep=OFF\r\n"));
    TAppForm &window = fixture.start();
    // Checked without a write (as if the key had been lost), then unchecked by a click.
    window.intervalBar()->autoCheckBox()->setChecked(true);
    window.intervalBar()->autoCheckBox()->click();
    EXPECT_FALSE(fixture.settingsText().contains(u16(u"AutoCheck")));
    EXPECT_FALSE(window.intervalBar()->countdownLabel()->isVisible());
}

TEST_F(MainWindowTest, TheStoreKeepsAsManyVersionsAsTheSettingsSay)
{
    fixture.writeSettings(u16(u"HistoryMaxVersions=2\r\n"));
    TAppForm &window = fixture.start();
    const QString url = u16(u"http://kept.test/");
    window.store().DbAddUrl(url);
    for (const char16_t *text : {u"one", u"two", u"three"})
        ASSERT_TRUE(window.store().DbSaveWebsite(url, QString::fromUtf16(text), u16(u"Changed!")));
    const std::vector<SnapshotRecord> kept = window.store().db()->history(url);
    ASSERT_EQ(kept.size(), 2u);
    EXPECT_EQ(window.store().db()->snapshotText(kept[1].id), u16(u"two"));
}

TEST_F(MainWindowTest, GeometryIsRememberedOnceStartupIsComplete)
{
    TAppForm &window = fixture.start();
    ASSERT_TRUE(window.geometryMemory().startupComplete());
    window.resize(700, 500);
    handlePendingEvents();
    const QString text = fixture.settingsText();
    EXPECT_TRUE(text.contains(u16(u"WindowState=Normal")));
    EXPECT_TRUE(text.contains(u16(u"Width=")));
    EXPECT_TRUE(text.contains(u16(u"Left=")));

    fixture.stop();
    fixture.writeSettings(u16(u"Left=40\r\nTop=30\r\nWidth=640\r\nHeight=480\r\n"));
    TAppForm &restored = fixture.start();
    EXPECT_EQ(restored.pos(), QPoint(40, 30));
    EXPECT_EQ(restored.frameGeometry().width(), 640);

    fixture.stop();
    fixture.writeSettings(u16(u"WindowState=Maximized\r\n"));
    EXPECT_TRUE(fixture.start().windowState() & Qt::WindowMaximized);
}

// --- Dialogs and lifecycle -------------------------------------------------

TEST_F(MainWindowTest, EditAndExclusionsOpenTheirDialogsModeless)
{
    TAppForm &window = fixture.start();
    addUrls(u16(u"a.test\nb.test"));
    window.urlModel().setStatus(window.urlModel().idAt(1), u16(u"OK"));
    fixture.selectRows({1});
    window.commands().ToolButton8->trigger();
    auto *edit = window.findChild<TFormEditURL *>();
    ASSERT_NE(edit, nullptr);
    EXPECT_FALSE(edit->isModal());
    EXPECT_EQ(edit->Edit1->text(), u16(u"http://b.test"));
    edit->Edit1->setText(u16(u"http://renamed.test"));
    edit->Button1->click();
    EXPECT_EQ(fixture.captions(), QStringList({u16(u"http://a.test"), u16(u"http://renamed.test")}));
    EXPECT_TRUE(window.urlList()->cell(1, UrlListView::StatusColumn).isEmpty());
    EXPECT_TRUE(window.store().lookup(u16(u"http://renamed.test")).has_value());

    window.commands().Exclusions1->trigger();
    auto *exclusions = window.findChild<TFormExclusion *>();
    ASSERT_NE(exclusions, nullptr);
    EXPECT_TRUE(exclusions->isVisible());
    EXPECT_FALSE(exclusions->isModal());
}

TEST_F(MainWindowTest, AutoRunAtStartupWritesTheEntryAndGatesMinimizeAtStartup)
{
    TAppForm &window = fixture.start();
    const AppCommands &c = window.commands();
    c.Autostartatstartup1->trigger();
    EXPECT_TRUE(c.Autostartatstartup1->isChecked());
    EXPECT_TRUE(c.StartMinimized1->isEnabled());
    const std::optional<QString> entry = fixture.autostart.read(window.windowTitle());
    ASSERT_TRUE(entry.has_value());
    EXPECT_TRUE(entry->endsWith(u16(u" /auto")));

    c.StartMinimized1->trigger();
    EXPECT_TRUE(c.StartMinimized1->isChecked());
    EXPECT_TRUE(fixture.settingsText().contains(u16(u"MinimizeStartup=ON\r\n")));

    // The entry decides the check mark at the next start.
    TAppForm &again = fixture.start();
    EXPECT_TRUE(again.commands().Autostartatstartup1->isChecked());
    EXPECT_TRUE(again.commands().StartMinimized1->isChecked());
    EXPECT_TRUE(again.commands().StartMinimized1->isEnabled());

    // Off: the entry goes and "Minimize at Startup" is turned off and greyed.
    again.commands().Autostartatstartup1->trigger();
    EXPECT_FALSE(again.commands().Autostartatstartup1->isChecked());
    EXPECT_FALSE(fixture.autostart.read(again.windowTitle()).has_value());
    EXPECT_FALSE(again.commands().StartMinimized1->isChecked());
    EXPECT_FALSE(again.commands().StartMinimized1->isEnabled());
    EXPECT_TRUE(fixture.settingsText().contains(u16(u"MinimizeStartup=OFF\r\n")));
}

TEST_F(MainWindowTest, AutoSwitchHidesTheWindowAboutASecondAfterItIsShown)
{
    struct Case {
        const char *name;
        QStringList arguments;
        bool leavesNormalState;
    } const cases[] = {
        {"switch in capitals", {u16(u"/AUTO")}, true},
        {"switch as second argument only", {u16(u"x"), u16(u"/auto")}, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        fixture.stop();
        fixture.writeSettings(u16(u"MinimizeStartup=ON\r\nMinimizeToSystemTray=ON\r\n"));
        fixture.autostart.write(u16(u"Orlith - Sentrel"), u16(u"\"sentrel\" /auto"));
        fixture.arguments = c.arguments;
        TAppForm &window = fixture.start();
        EXPECT_TRUE(window.isVisible());
        (void)QTest::qWaitFor([&] { return window.commandLineTimer().hasRun(); }, 60000);
        handlePendingEvents();
        EXPECT_TRUE(window.commandLineTimer().hasRun());
        // Hidden in the tray, or minimized where the desktop has no tray.
        EXPECT_EQ(window.isHidden() || window.isMinimized(), c.leavesNormalState);
    }
}

TEST_F(MainWindowTest, ResetToDefaultsDeletesTheDataFilesOnYesOnly)
{
    TAppForm &window = fixture.start();
    addUrls(u16(u"a.test"));
    window.actionPage()->beepBox()->click();
    const QString db = fixture.dataFolder() + u16(u"websites.db");
    const QString ini = fixture.dataFolder() + u16(u"settings.ini");

    fixture.boxes.answer = dialogresult::No;
    window.commands().ResettoDefaults1->trigger();
    EXPECT_TRUE(QFileInfo::exists(db));
    EXPECT_TRUE(QFileInfo::exists(ini));
    EXPECT_EQ(fixture.restarts, 0);
    ASSERT_EQ(fixture.boxes.confirmations.size(), 1u);
    EXPECT_EQ(fixture.boxes.confirmations[0].message, u16(u"Restart Application?"));

    fixture.boxes.answer = dialogresult::Yes;
    window.commands().ResettoDefaults1->trigger();
    EXPECT_FALSE(QFileInfo::exists(db));
    EXPECT_FALSE(QFileInfo::exists(ini));
    EXPECT_EQ(fixture.restarts, 1);
    EXPECT_FALSE(window.geometryMemory().startupComplete());
}

// --- Help and the file filter -------------------------------------------------

TEST(OnlineHelpTest, EveryBlankBecomesOneDash)
{
    EXPECT_EQ(onlineHelpAddress(u16(u"Sentrel")), u16(u"http://www.orlith.example/help/sentrel/"));
    EXPECT_EQ(onlineHelpAddress(u16(u"Web  Page Watcher")),
              u16(u"http://www.orlith.example/help/web--page-watcher/"));
}

TEST_F(MainWindowTest, HelpButtonForwardsToOnlineHelp)
{
    TAppForm &window = fixture.start();
    window.commands().ToolButton10->trigger();
    window.commands().Help2->trigger();
    EXPECT_EQ(fixture.shell.opened,
              QStringList({onlineHelpAddress(u16(u"Sentrel")), onlineHelpAddress(u16(u"Sentrel"))}));
}

TEST(FileFilterTest, PairsBecomeQtFilters)
{
    struct Case {
        const char16_t *pairs;
        const char16_t *qt;
    } const cases[] = {
        {u"Text File (*.txt)|*.txt|Any File (*.*)|*.*", u"Text File (*.txt);;Any File (*.*)"},
        {u"WAV File (*.wav)|*.wav", u"WAV File (*.wav)"},
        {u"Sounds|*.wav;*.mp3", u"Sounds (*.wav *.mp3)"},
        {u"", u""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(QString::fromUtf16(c.pairs).toStdString());
        EXPECT_EQ(qtFileFilter(QString::fromUtf16(c.pairs)), QString::fromUtf16(c.qt));
    }
}

// A settings file zeroed by a crash is kept aside for the user, and the
// window tells where; start-up goes on with the default settings.
TEST_F(MainWindowTest, SettingsFileThatIsNoTextIsMovedAsideAndTheWindowSaysSo)
{
    ASSERT_TRUE(QDir().mkpath(fixture.dataFolder()));
    {
        QFile ini(fixture.dataFolder() + u16(u"settings.ini"));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write(QByteArray(16, '\0'));
    }
    TAppForm &window = fixture.start();
    EXPECT_TRUE(window.isVisible());
    const QStringList aside = QDir(fixture.dataFolder()).entryList({u16(u"settings.ini.bad-*")}, QDir::Files);
    ASSERT_EQ(aside.size(), 1);
    ASSERT_EQ(fixture.boxes.messages.size(), 1u);
    EXPECT_EQ(fixture.boxes.messages[0].kind, MessageKind::Warning);
    EXPECT_TRUE(fixture.boxes.messages[0].text.contains(aside[0]))
        << fixture.boxes.messages[0].text.toStdString();
}

} // namespace
} // namespace sentrel::test
