#include "app/mainwindow.h"
#include "app/actionpage.h"
#include "app/codeeditor.h"
#include "app/icons.h"
#include "app/intervalbar.h"
#include "app/liststoresync.h"
#include "app/previewpanel.h"
#include "app/runcontrol.h"
#include "app/urllistview.h"
#include "app/windowstartup.h"
#include "storage/datafolder.h"
#include "storage/exclusions.h"
#include "storage/historysettings.h"
#include "storage/programfiles.h"
#include "storage/settingskeys.h"
#include "storage/storeerror.h"
#include "storage/storesqlite.h"
#include "text/languageids.h"
#include "text/versioninfo.h"
#include "uimodel/messages.h"
#include "uimodel/urllistcommands.h"
#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QTimer>

// Creation with its start-up order, the window geometry and the window events.
namespace sentrel {

namespace {

QString folderWithSeparator(QString folder)
{
    if (!folder.isEmpty() && !folder.endsWith(u'/'))
        folder += u'/';
    return folder;
}

QString dataFolderFor(const AppEnvironment &env)
{
    if (!env.dataFolder.isEmpty())
        return folderWithSeparator(env.dataFolder);
    return ChooseDataFolder(env.executableDir);
}

} // namespace

TAppForm::TAppForm(AppEnvironment environment, QWidget *parent)
    : QMainWindow(parent), env_(std::move(environment)), settings_(QString(), IniDocument()),
      geometry_(settings_), timerParam_([this] { guarded([this] { TimerParamTimer(); }); })
{
    // The controls and the pieces behind them come first: start-up applies
    // the settings to them.
    setWindowIcon(appIcon(AppIcon::Program));
    buildLayout();

    ports_ = std::make_unique<WindowPorts>(WindowPortParts{*StatusBar1, *SynEditLog, *c_.stripMethods,
                                                           exclusions_, env_.boxes, env_.applicationTitle});
    editErrors_ = std::make_unique<ResyncAfterError>(*ports_, urlModel_, store_);
    painter_ = std::make_unique<OutcomePainter>(urlModel_, *ports_);
    // One page at a time, when its check needs it: a window closed during
    // Check All leaves the pages it passes over undownloaded. Every save is
    // durable at once; the window waits for downloads in its event loop.
    checks_ = std::make_unique<CheckAssembly>(CheckAssemblyParts{
        urlModel_, store_, *ports_, *painter_, *ports_, pump_, clock_, env_.download, 1, true});
    notifier_ = std::make_unique<ActionNotifier>(choices_, env_.notifications, env_.boxes, translator_);
    runLock_ = std::make_unique<RunLockGate>(*checks_, [this] { return dataFolder_; });
    runs_ = std::make_unique<CheckRuns>(
        RunServices{urlModel_, selection(), *runLock_, pump_, changedUrls_, [this] { ContentPanelGizle(); }});
    runCommands_ = std::make_unique<RunCommands>(
        RunCommandServices{*runs_, *ports_, *notifier_, [this] { env_.notifications.beep(); }});
    autoCheck_ = std::make_unique<AutoCheck>(
        AutoCheckServices{*runCommands_, *intervalBar_, timerAuto_, *ports_, pump_, settings_});
    runControl_ = std::make_unique<RunControl>(RunControlParts{
        *c_.ToolButton1, *c_.CheckURL1, *runs_, *runLock_, *autoCheck_, *intervalBar_, timerAuto_});
    timerAuto_.setHandler([this] { runControl_->timerTick(); });
    actionSettings_ = std::make_unique<ActionSettings>(choices_, settings_, *actionPage_);
    connectCommands();

    tray_ = std::make_unique<TrayController>(*this, appIcon(AppIcon::Program),
                                             [this] { return c_.MinimizetoSystemTray1->isChecked(); });

    // A step that fails ends start-up with its message, never the window.
    WindowStartup steps(*this);
    runStartup(steps);
}

TAppForm::~TAppForm()
{
    // A closing program does not start another automatic run.
    timerAuto_.stop();
}

void TAppForm::setTitleFromVersion()
{
    setWindowTitle(readVersionInfo().windowTitle());
}

void TAppForm::chooseDataFolder()
{
    dataFolder_ = dataFolderFor(env_);
}

void TAppForm::openSettings()
{
    settings_ = SettingsFile::open(dataFolder_);
    // A settings file that could not be read was moved aside: say where.
    if (!settings_.openNotice().isEmpty())
        env_.boxes.showMessage(MessageKind::Warning, QStringLiteral("WARNING"), settings_.openNotice());
}

void TAppForm::loadLanguage()
{
    translator_ =
        Translator::load(LocateProgramFiles(env_.executableDir).languagesParent, userUiLanguageId());
}

void TAppForm::applyStartupSettings()
{
    const StartupSettings s = readStartupSettings(settings_);
    intervalBar_->setIntervalQuietly(s.interval);
    // A box that start-up checks runs its click handling, as a click would.
    if (s.autoCheck) {
        intervalBar_->autoCheckBox()->setChecked(true);
        autoCheck_->CheckBox1Click();
    }
    if (actionPage_->soundFileField()->text() != s.soundFile)
        actionPage_->soundFileField()->setText(s.soundFile); // writes SoundFile through Edit1Change
    const struct {
        bool on;
        QCheckBox *box;
        void (ActionSettings::*handler)(bool);
    } boxes[] = {
        {s.beep, actionPage_->beepBox(), &ActionSettings::CheckBox2Click},
        {s.playSound, actionPage_->playSoundBox(), &ActionSettings::CheckBox3Click},
        {s.showMessage, actionPage_->showMessageBox(), &ActionSettings::CheckBox4Click},
        {s.openUrl, actionPage_->openUrlBox(), &ActionSettings::CheckBox5Click},
    };
    for (const auto &b : boxes)
        if (b.on) {
            b.box->setChecked(true);
            guarded([&] { ((*actionSettings_).*b.handler)(true); });
        }
    switch (s.stripMethod) {
    case StripMethod::Regex:
        c_.Regex1->setChecked(true);
        break;
    case StripMethod::StringBuilder:
        c_.StringBuilder1->setChecked(true);
        break;
    case StripMethod::Browser:
        c_.InternetExplorer1->setChecked(true);
        break;
    }
    c_.MinimizetoSystemTray1->setChecked(s.minimizeToSystemTray);
    c_.StartMinimized1->setChecked(s.minimizeStartup);
}

void TAppForm::openStore()
{
    StoreSettings storeSettings;
    storeSettings.templatePath = LocateProgramFiles(env_.executableDir).templatePath;
    // Throws StoreOpenError when the connection cannot be opened, another
    // Error when the column migration fails.
    auto db = std::make_unique<WebsiteDb>(dataFolder_, storeSettings);
    // Read at start-up only: settings.ini is not read again while the window runs.
    db->setHistoryRetention(readHistoryRetention(settings_));
    store_.attach(std::move(db));
}

void TAppForm::showStoreOpenError(const QString &text)
{
    env_.boxes.showMessage(MessageKind::Plain, env_.applicationTitle, text);
}

void TAppForm::createChangedListAndLoadExclusions()
{
    changedUrls_.clear();
    exclusions_ = loadExclusions(dataFolder_);
}

void TAppForm::fillUrlList()
{
    fillFromStore(urlModel_, store_, *ports_);
}

void TAppForm::restoreWindowGeometry()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    const QSize screenSize = screen ? screen->size() : QSize(1920, 1080);
    const GeometryRestore plan = planGeometryRestore(settings_, screenSize);
    // Stored sizes are outer sizes; before the window is first shown the frame
    // is not known yet, so the frame of the platform's usual decoration is
    // taken from the difference the window reports now (none off-screen).
    const QSize frameExtra = frameGeometry().size() - size();
    QSize target = size();
    if (plan.width)
        target.setWidth(qMax(minimumWidth(), *plan.width - frameExtra.width()));
    if (plan.height)
        target.setHeight(qMax(minimumHeight(), *plan.height - frameExtra.height()));
    resize(target);
    restoredWidth_ = plan.width;
    restoredHeight_ = plan.height;
    if (plan.position)
        move(*plan.position);
    else if (screen)
        move(screen->availableGeometry().center() - QPoint(width() / 2, height() / 2));
    if (plan.maximized)
        setWindowState(windowState() | Qt::WindowMaximized);
}

std::function<QList<RowId>()> TAppForm::selection() const
{
    return [this] { return ListView1->selectedIds(); };
}

QString TAppForm::statusText() const
{
    return StatusBar1->text();
}

void TAppForm::guarded(const std::function<void()> &work)
{
    try {
        work();
    } catch (const std::exception &e) {
        ports_->showError(errorMessage(e));
    }
}

// --- Window events -------------------------------------------------------

void TAppForm::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    layoutContentPanel();
    if (!geometry_.startupComplete())
        return;
    const Qt::WindowStates state = windowState();
    const WindowSizeState sizeState = state & Qt::WindowMinimized   ? WindowSizeState::Minimized
                                      : state & Qt::WindowMaximized ? WindowSizeState::Maximized
                                                                    : WindowSizeState::Normal;
    const QScreen *shownOn = screen();
    const QRect frame =
        shownOn ? sizeWithinScreen(frameGeometry(), shownOn->availableGeometry()) : frameGeometry();
    guarded([&] { geometry_.windowResized(sizeState, frame); });
}

void TAppForm::moveEvent(QMoveEvent *event)
{
    if (geometry_.startupComplete() && !(windowState() & (Qt::WindowMinimized | Qt::WindowMaximized)))
        guarded([&] { geometry_.windowMoved(pos()); });
    QMainWindow::moveEvent(event);
}

void TAppForm::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    timerParam_.formShow();
    if (restoredWidth_ || restoredHeight_)
        QTimer::singleShot(0, this, [this] { correctRestoredSize(); });
}

void TAppForm::correctRestoredSize()
{
    if (windowState() & (Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen))
        return;
    const QSize frameExtra = frameGeometry().size() - size();
    if (frameExtra.isNull())
        return; // not known yet, or no frame: the size is right as it is
    QSize target = size();
    if (restoredWidth_)
        target.setWidth(qMax(minimumWidth(), *restoredWidth_ - frameExtra.width()));
    if (restoredHeight_)
        target.setHeight(qMax(minimumHeight(), *restoredHeight_ - frameExtra.height()));
    restoredWidth_.reset();
    restoredHeight_.reset();
    if (target != size())
        resize(target);
}

void TAppForm::closeEvent(QCloseEvent *event)
{
    // A "Check All" run under way ends after the URL being checked.
    runs_->requestStop();
    // The modeless dialogs go with the window, so that the program ends with
    // it instead of living on in an open Add URLs or options dialog.
    for (QDialog *dialog : findChildren<QDialog *>(Qt::FindDirectChildrenOnly))
        if (dialog->isVisible() && !dialog->isModal())
            dialog->close();
    event->accept();
}

} // namespace sentrel
