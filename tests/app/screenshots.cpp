// Shows the real main window on a sample data folder (URLs checked twice
// against a loopback server, so that they carry statuses, a change and a
// failure, and one preview shown) and saves PNG pictures of the window, its
// pages and the Add URLs dialog into the folder given as the argument.
#include "app/codeeditor.h"
#include "app/previewpanel.h"
#include "app/urllistview.h"
#include "support/loopbackserver.h"
#include "windowfixture.h"
#include <QApplication>
#include <QDir>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <cstdio>

using namespace sentrel;
using namespace sentrel::test;

namespace {

std::string page(const char *title, const char *body)
{
    return std::string("<html><head><title>") + title + "</title></head><body><h1>" + title + "</h1>" + body +
           "</body></html>";
}

bool save(QWidget *widget, const QString &folder, const char *name)
{
    // Laid out and painted: exposed, then the layout's queued requests done.
    (void)QTest::qWaitForWindowExposed(widget->window());
    QApplication::processEvents();
    QApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    QApplication::processEvents();
    const QString file = folder + u'/' + QString::fromLatin1(name);
    const bool ok = widget->grab().save(file);
    std::fprintf(stderr, "%s %s\n", ok ? "saved" : "FAILED", qPrintable(file));
    return ok;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Sentrel"));
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("screenshots");
    QDir().mkpath(folder);

    LoopbackServer server;
    server.on("/news/", Reply::ok(page("Town news", "<p>Market opens on Saturday.</p><p>See "
                                                    "https://www.example.org/market for the map.</p>")));
    server.on("/prices.html", Reply::ok(page("Prices", "<p>Coffee 2.40</p><p>Tea 1.90</p>")));
    server.on("/prices.html",
              Reply::ok(page("Prices", "<p>Coffee 2.60</p><p>Tea 1.90</p><p>Cocoa 2.10</p>")));
    server.on("/blog/", Reply::ok(page("Blog", "<p>First post</p>")));
    server.on("/downloads/", Reply::status("HTTP/1.1 404 Not Found"));
    server.on("/status", Reply::ok(page("Service status", "<p>All systems normal.</p>")));

    WindowFixture fixture;
    TAppForm &window = fixture.start();

    window.ToolButton3Click();
    TFormAddURLs *dialog = window.addUrlsDialog();
    save(dialog, folder, "add-urls.png");
    QStringList lines;
    for (const char *target : {"/news/", "/prices.html", "/blog/", "/downloads/", "/status"})
        lines.append(server.url(target));
    dialog->editor()->setPlainText(lines.join(QStringLiteral("\r\n")));
    dialog->addButton()->click();

    window.ToolButton1Click();
    window.ToolButton1Click();
    fixture.selectRows({1});
    fixture.clickRow(1);
    save(&window, folder, "main-window.png");
    // The same row's latest change: the preview's "Changes" view.
    window.contentPanel()->viewTabs()->setCurrentIndex(1);
    save(&window, folder, "main-window-changes.png");
    window.contentPanel()->viewTabs()->setCurrentIndex(0);

    window.ContentPanelGizle();
    window.pages()->setCurrentIndex(1);
    save(&window, folder, "action-page.png");
    window.pages()->setCurrentIndex(2);
    save(&window, folder, "log-page.png");
    return 0;
}
