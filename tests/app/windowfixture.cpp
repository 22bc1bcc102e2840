#include "windowfixture.h"
#include "app/urllistview.h"
#include "dialogs/addurls.h"
#include <QCoreApplication>
#include <QFile>
#include <QItemSelectionModel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <stdexcept>

namespace sentrel::test {

WindowFixture::WindowFixture()
{
    QDir(dir_.path()).mkpath(QStringLiteral("data"));
    QDir(dir_.path()).mkpath(QStringLiteral("exe"));
}

TAppForm &WindowFixture::start()
{
    window_.reset();
    AppEnvironment environment{path(QStringLiteral("exe")),
                               dataFolder(),
                               QStringLiteral("Sentrel"),
                               boxes,
                               files,
                               shell,
                               platform,
                               autostart};
    environment.arguments = arguments;
    environment.executablePath = path(QStringLiteral("exe/sentrel"));
    environment.restartProgram = [this] { ++restarts; };
    window_ = std::make_unique<TAppForm>(std::move(environment));
    window_->show();
    // Shown on the screen, then the zero timers the first show starts.
    (void)QTest::qWaitForWindowExposed(window_.get());
    QCoreApplication::processEvents();
    return *window_;
}

QString WindowFixture::settingsText() const
{
    QFile file(dataFolder() + QStringLiteral("settings.ini"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QString text = QString::fromUtf8(file.readAll());
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    return text;
}

void WindowFixture::writeSettings(const QString &lines) const
{
    QFile file(dataFolder() + QStringLiteral("settings.ini"));
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    file.write((QStringLiteral("[Settings]\r\n") + lines).toUtf8());
}

QStringList WindowFixture::captions() const
{
    QStringList out;
    const UrlListView *list = window_->urlList();
    for (int i = 0; i < list->rowCount(); ++i)
        out.append(list->caption(i));
    return out;
}

QStringList WindowFixture::statuses() const
{
    QStringList out;
    const UrlListView *list = window_->urlList();
    for (int i = 0; i < list->rowCount(); ++i)
        out.append(list->cell(i, UrlListView::StatusColumn));
    return out;
}

void WindowFixture::selectRows(std::initializer_list<int> rows)
{
    UrlListView *list = window_->urlList();
    list->clearSelection();
    for (int row : rows)
        list->selectionModel()->select(list->model()->index(row, 0),
                                       QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

void WindowFixture::clickRow(int row)
{
    UrlListView *list = window_->urlList();
    const QRect cell = list->visualRect(list->model()->index(row, 0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
}

void WindowFixture::addUrls(const QString &text)
{
    window().ToolButton3Click();
    TFormAddURLs *dialog = window().addUrlsDialog();
    // The screenshot driver shares this fixture and has no test framework:
    // a dialog that did not open fails the caller by exception.
    if (dialog == nullptr)
        throw std::logic_error("the Add URLs dialog did not open");
    dialog->editor()->setPlainText(text);
    dialog->addButton()->click();
}

} // namespace sentrel::test
