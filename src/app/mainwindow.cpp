#include "app/mainwindow.h"
#include "app/actionpage.h"
#include "app/codeeditor.h"
#include "app/editmenu.h"
#include "app/icons.h"
#include "app/intervalbar.h"
#include "app/lifecycle.h"
#include "app/onlinehelp.h"
#include "app/previewpanel.h"
#include "app/urllistview.h"
#include "dialogs/aboutbox.h"
#include "dialogs/addurls.h"
#include "dialogs/exclusionform.h"
#include "dialogs/feedback.h"
#include "storage/datafolder.h"
#include "storage/exclusions.h"
#include "storage/settingskeys.h"
#include "storage/storeerror.h"
#include "storage/storesqlite.h"
#include "storage/urllist.h"
#include "text/error.h"
#include "text/languageids.h"
#include "text/messages.h"
#include "text/versioninfo.h"
#include <QAction>
#include <QActionGroup>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace sentrel {

namespace {

QString folderWithSeparator(QString folder)
{
    if (!folder.isEmpty() && !folder.endsWith(u'/'))
        folder += u'/';
    return folder;
}

QString chooseDataFolder(const AppEnvironment &env)
{
    if (!env.dataFolder.isEmpty())
        return folderWithSeparator(env.dataFolder);
    return ChooseDataFolder(env.executableDir);
}

constexpr char16_t ListFileSuffix[] = u"txt";
constexpr char16_t ListFileFilter[] = u"Text File (*.txt)|*.txt|Any File (*.*)|*.*";

} // namespace

TAppForm::TAppForm(AppEnvironment environment, QWidget *parent)
    : QMainWindow(parent), env_(std::move(environment)), dataFolder_(chooseDataFolder(env_)),
      settings_(SettingsFile::open(dataFolder_)), loader_(env_.download), geometry_(settings_),
      editStore_([this] { return store_.db(); }),
      timerParam_([this] { guarded([this] { TimerParamTimer(); }); })
{
    // 1. The title from the version record.
    setWindowTitle(readVersionInfo().windowTitle());
    setWindowIcon(appIcon(AppIcon::Program));
    buildLayout();

    ports_ = std::make_unique<WindowPorts>(
        WindowPortParts{*StatusBar1, *SynEditLog, *c_.stripMethods, exclusions_, env_.boxes,
                        env_.notifications, env_.applicationTitle, [this] { ContentPanelGizle(); }});
    engine_ = std::make_unique<CheckEngine>(
        CheckServices{*ListView1, store_, *ports_, *ports_, *ports_, pump_, loader_, clock_, changedUrls_});
    notifier_ = std::make_unique<ActionNotifier>(choices_, env_.notifications, env_.boxes, translator_);
    runs_ = std::make_unique<CheckRuns>(
        RunServices{*ListView1, *engine_, pump_, *ports_, *notifier_, changedUrls_});
    autoCheck_ = std::make_unique<AutoCheck>(
        AutoCheckServices{*runs_, *intervalBar_, timerAuto_, *ports_, pump_, settings_});
    timerAuto_.setHandler([this] { autoCheck_->TimerAutoTimer(); });
    actionSettings_ = std::make_unique<ActionSettings>(choices_, settings_, *actionPage_);
    connectCommands();

    tray_ = std::make_unique<TrayController>(*this, appIcon(AppIcon::Program),
                                             [this] { return c_.MinimizetoSystemTray1->isChecked(); });

    // 2-4. Data folder and settings are open; the saved choices go to the controls.
    applyStartupSettings();
    // 5. The autostart entry decides "Auto Run at Startup".
    readAutostartEntry();
    // 6. The language of the user interface.
    translator_ = Translator::load(env_.executableDir, userUiLanguageId());
    // 8-11. Store, exclusion list, URL list.
    openStore();
    // 12-13. Geometry, then geometry changes are remembered.
    restoreGeometry();
    geometry_.setStartupComplete(true);
}

TAppForm::~TAppForm()
{
    // A closing program does not start another automatic run.
    timerAuto_.stop();
}

void TAppForm::buildLayout()
{
    const QSize design = DesignClientSize;
    resize(design);
    c_ = buildCommands(this);

    intervalBar_ = new IntervalBar;
    ListView1 = new UrlListView;
    ListView1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ListView1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &at) { c_.PopupMenu1->popup(ListView1->viewport()->mapToGlobal(at)); });
    actionPage_ = new ActionPage;
    SynEditLog = new CodeEditor(true);
    logMenu_ = new EditMenu(SynEditLog);

    PageControl1 = new QTabWidget;
    PageControl1->setDocumentMode(true);
    PageControl1->setIconSize(QSize(16, 16));
    PageControl1->setStyleSheet(QStringLiteral("QTabBar::tab { min-width: 100px; }"));
    PageControl1->addTab(ListView1, appIcon(AppIcon::ListTab), QStringLiteral("URL List"));
    PageControl1->addTab(actionPage_, appIcon(AppIcon::ActionTab), QStringLiteral("Action"));
    PageControl1->addTab(SynEditLog, appIcon(AppIcon::LogTab), QStringLiteral("Log"));
    PageControl1->setCurrentIndex(0);

    PanelContent = new PreviewPanel;
    Splitter1 = new QSplitter(Qt::Vertical);
    Splitter1->setHandleWidth(6);
    Splitter1->setChildrenCollapsible(false);
    Splitter1->addWidget(PageControl1);
    Splitter1->addWidget(PanelContent);
    Splitter1->setStretchFactor(0, 1);
    Splitter1->setStretchFactor(1, 0);
    PanelContent->hide();
    connect(Splitter1, &QSplitter::splitterMoved, this, [this] {
        if (PanelContent->isVisible())
            contentHeight_ = PanelContent->height();
    });

    auto *central = new QWidget;
    auto *layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(intervalBar_);
    layout->addWidget(Splitter1, 1);
    setCentralWidget(central);

    StatusBar1 = new QLabel;
    StatusBar1->setContentsMargins(4, 0, 4, 0);
    statusBar()->addWidget(StatusBar1, 1);
    statusBar()->setSizeGripEnabled(true);
}

void TAppForm::connectCommands()
{
    auto on = [this](QAction *action, void (TAppForm::*handler)()) {
        connect(action, &QAction::triggered, this, [this, handler] { guarded([&] { (this->*handler)(); }); });
    };
    // Toolbar buttons and the menu items that forward to them.
    on(c_.ToolButton3, &TAppForm::ToolButton3Click);
    on(c_.AddURLs1, &TAppForm::ToolButton3Click);
    on(c_.ToolButton2, &TAppForm::ToolButton2Click);
    on(c_.LoadList1, &TAppForm::ToolButton2Click);
    on(c_.ToolButton4, &TAppForm::ToolButton4Click);
    on(c_.SaveList1, &TAppForm::ToolButton4Click);
    on(c_.Exit1, &TAppForm::Exit1Click);
    connect(c_.ToolButton1, &QAction::triggered, this, [this] { runs_->ToolButton1Click(); });
    connect(c_.CheckURL1, &QAction::triggered, this, [this] { runs_->CheckURL1Click(); });
    on(c_.ToolButton8, &TAppForm::ToolButton8Click);
    on(c_.EditURL1, &TAppForm::EditURL1Click);
    on(c_.Copy1, &TAppForm::Copy1Click);
    on(c_.OpenURLwithDefaultBrowser1, &TAppForm::OpenURLwithDefaultBrowser1Click);
    on(c_.Delete1, &TAppForm::Delete1Click);
    on(c_.SelectAll1, &TAppForm::SelectAll1Click);
    on(c_.Autostartatstartup1, &TAppForm::Autostartatstartup1Click);
    on(c_.StartMinimized1, &TAppForm::StartMinimized1Click);
    on(c_.MinimizetoSystemTray1, &TAppForm::MinimizetoSystemTray1Click);
    on(c_.Exclusions1, &TAppForm::Exclusions1Click);
    on(c_.ResettoDefaults1, &TAppForm::ResettoDefaults1Click);
    on(c_.Help2, &TAppForm::Help2Click);
    on(c_.ToolButton10, &TAppForm::Help2Click);
    on(c_.SendFeedback1, &TAppForm::SendFeedback1Click);
    on(c_.ToolButton9, &TAppForm::SendFeedback1Click);
    on(c_.About1, &TAppForm::About1Click);
    on(c_.ToolButton7, &TAppForm::About1Click);
    connect(c_.stripMethods, &QActionGroup::triggered, this,
            [this](QAction *item) { guarded([&] { StripMethodClick(item); }); });

    connect(ListView1, &UrlListView::listClicked, this, [this] { guarded([this] { ListView1Click(); }); });
    connect(ListView1, &UrlListView::deletePressed, this, [this] { guarded([this] { Delete1Click(); }); });

    connect(intervalBar_, &IntervalBar::autoCheckClicked, this, [this] { autoCheck_->CheckBox1Click(); });
    connect(intervalBar_, &IntervalBar::intervalTextChanged, this, [this] { autoCheck_->SpinEdit1Change(); });

    // The action settings show a failed rewrite through the caller.
    auto box = [this](QCheckBox *checkBox, void (ActionSettings::*handler)(bool)) {
        connect(checkBox, &QCheckBox::clicked, this, [this, checkBox, handler] {
            guarded([&] { ((*actionSettings_).*handler)(checkBox->isChecked()); });
        });
    };
    box(actionPage_->beepBox(), &ActionSettings::CheckBox2Click);
    box(actionPage_->playSoundBox(), &ActionSettings::CheckBox3Click);
    box(actionPage_->showMessageBox(), &ActionSettings::CheckBox4Click);
    box(actionPage_->openUrlBox(), &ActionSettings::CheckBox5Click);
    connect(actionPage_->soundFileField(), &QLineEdit::textChanged, this,
            [this](const QString &text) { guarded([&] { actionSettings_->Edit1Change(text); }); });
    // Until the first change the choices hold the field's design text.
    choices_.soundFile = actionPage_->soundFileField()->text();
    connect(actionPage_->browseButton(), &QPushButton::clicked, this,
            [this] { guarded([this] { Button1Click(); }); });
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
    if (!env_.executableDir.isEmpty())
        storeSettings.templatePath =
            folderWithSeparator(env_.executableDir) + QString::fromUtf16(StoreTemplateFileName);
    try {
        store_.attach(std::make_unique<WebsiteDb>(dataFolder_, storeSettings));
    } catch (const StoreOpenError &e) {
        env_.boxes.showMessage(MessageKind::Plain, env_.applicationTitle, storeOpenErrorText(e));
        return;
    } catch (const std::exception &e) {
        // The column migration failed: the default error box, and the rest is skipped.
        ports_->showError(errorMessage(e));
        return;
    }
    try {
        exclusions_ = loadExclusions(dataFolder_);
    } catch (const std::exception &e) {
        ports_->showError(errorMessage(e));
        return;
    }
    fillFromStore(*ListView1, store_, *ports_);
}

void TAppForm::restoreGeometry()
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

// --- URL list ------------------------------------------------------------

void TAppForm::ToolButton3Click()
{
    auto *editor = new CodeEditor(false);
    new EditMenu(editor);
    auto *dialog = new TFormAddURLs(
        editor,
        [this](const QString &text) { guarded([&] { EkleLines(text, *ListView1, store_, *ports_); }); },
        this);
    dialog->setWindowFlag(Qt::Window);
    addUrls_ = dialog;
    dialog->show();
}

void TAppForm::ToolButton2Click()
{
    const QString path = env_.fileDialogs.openFile(this, QString::fromUtf16(ListFileSuffix),
                                                   QString::fromUtf16(ListFileFilter));
    if (path.isEmpty())
        return;
    LoadList(path, *ListView1, store_, *ports_);
}

void TAppForm::ToolButton4Click()
{
    const QString path = env_.fileDialogs.saveFile(this, QString::fromUtf16(ListFileSuffix),
                                                   QString::fromUtf16(ListFileFilter));
    if (path.isEmpty())
        return;
    SaveList(path, *ListView1);
}

void TAppForm::Copy1Click()
{
    QGuiApplication::clipboard()->setText(clipboardText(*ListView1));
}

void TAppForm::OpenURLwithDefaultBrowser1Click()
{
    for (const QString &url : selectedUrls(*ListView1))
        env_.shell.openUrl(url);
}

void TAppForm::Delete1Click()
{
    deleteSelectedRows(*ListView1, store_, *ports_);
    ContentPanelGizle();
}

void TAppForm::SelectAll1Click()
{
    ListView1->selectAll();
}

void TAppForm::ToolButton8Click()
{
    sentrel::ToolButton8Click(EditUrlContext{*ListView1, *ListView1, editStore_, *ports_}, env_.boxes, this);
}

// --- Content preview -----------------------------------------------------

void TAppForm::ListView1Click()
{
    const std::optional<ContentPreview> preview = contentPreview(*ListView1, store_, *ports_);
    if (!preview)
        return;
    PanelContent->showContent(preview->url, preview->content);
    showContentPanel();
}

void TAppForm::showContentPanel()
{
    const bool wasHidden = PanelContent->isHidden();
    PanelContent->show();
    if (wasHidden) {
        const int total = Splitter1->height() - Splitter1->handleWidth();
        Splitter1->setSizes({qMax(0, total - contentHeight_), contentHeight_});
    }
}

void TAppForm::ContentPanelGizle()
{
    PanelContent->clear();
    PanelContent->hide();
}

void TAppForm::layoutContentPanel()
{
    if (PanelContent->isHidden())
        return;
    contentHeight_ = height() / 3;
    const int total = Splitter1->height() - Splitter1->handleWidth();
    Splitter1->setSizes({qMax(0, total - contentHeight_), contentHeight_});
}

// --- Settings ------------------------------------------------------------

void TAppForm::Button1Click()
{
    const QString path = env_.fileDialogs.openFile(this, QString::fromUtf16(SoundFileDefaultSuffix),
                                                   QString::fromUtf16(SoundFileFilter));
    if (!path.isEmpty())
        actionPage_->soundFileField()->setText(path);
}

void TAppForm::StripMethodClick(QAction *item)
{
    item->setChecked(true);
    writeStripMethod(settings_, static_cast<StripMethod>(item->data().toInt()));
}

void TAppForm::Help2Click()
{
    env_.shell.openUrl(onlineHelpAddress(readVersionInfo().ProductName));
}

void TAppForm::Exit1Click()
{
    QCoreApplication::quit();
}

// --- Dialogs and lifecycle ---------------------------------------------

void TAppForm::EditURL1Click()
{
    sentrel::EditURL1Click(EditUrlContext{*ListView1, *ListView1, editStore_, *ports_}, this);
}

void TAppForm::Exclusions1Click()
{
    sentrel::Exclusions1Click(exclusions_, dataFolder_, *ports_, this);
}

void TAppForm::readAutostartEntry()
{
    try {
        autostartItems_ =
            autostartItemsAtStartup(env_.autostart, windowTitle(), c_.StartMinimized1->isChecked());
    } catch (const std::exception &e) {
        ports_->showError(errorMessage(e));
    }
    showAutostartItems();
}

void TAppForm::showAutostartItems()
{
    c_.Autostartatstartup1->setChecked(autostartItems_.autoRun);
    c_.StartMinimized1->setChecked(autostartItems_.minimizeAtStartup);
    c_.StartMinimized1->setEnabled(autostartItems_.minimizeEnabled);
}

void TAppForm::Autostartatstartup1Click()
{
    // The menu item's own check mark is the program's: it follows the items,
    // which change before the entry is written (a failing entry keeps them).
    struct Sync {
        TAppForm *window;
        ~Sync() { window->showAutostartItems(); }
    } sync{this};
    autostartItems_.minimizeAtStartup = c_.StartMinimized1->isChecked();
    toggleAutostart(autostartItems_, env_.autostart, windowTitle(), env_.executablePath, [this](bool on) {
        c_.StartMinimized1->setChecked(on);
        autostartItems_.minimizeAtStartup = on;
        StartMinimized1Click();
    });
}

void TAppForm::StartMinimized1Click()
{
    autostartItems_.minimizeAtStartup = c_.StartMinimized1->isChecked();
    writeSwitch(settings_, SettingsSwitch::MinimizeStartup, c_.StartMinimized1->isChecked());
}

void TAppForm::MinimizetoSystemTray1Click()
{
    writeSwitch(settings_, SettingsSwitch::MinimizeToSystemTray, c_.MinimizetoSystemTray1->isChecked());
}

void TAppForm::TimerParamTimer()
{
    switch (commandLineAction(env_.arguments, c_.StartMinimized1->isChecked(),
                              c_.MinimizetoSystemTray1->isChecked())) {
    case StartupWindowAction::HideToTray:
        tray_->SistemTepsisineKucult();
        break;
    case StartupWindowAction::Minimize:
        showMinimized();
        break;
    case StartupWindowAction::None:
        break;
    }
}

namespace {

// What Reset to Defaults does to this window and process.
class WindowReset final : public ResetActions {
public:
    WindowReset(GeometryMemory &geometry, StoreAccess &store, std::function<void()> restart)
        : geometry_(geometry), store_(store), restart_(std::move(restart))
    {
    }
    void clearStartupComplete() override { geometry_.setStartupComplete(false); }
    void closeStore() override
    {
        if (WebsiteDb *db = store_.db())
            db->close();
    }
    void processPendingEvents() override { QCoreApplication::processEvents(); }
    void restartExecutable() override
    {
        if (restart_)
            restart_();
    }
    void quit() override { QCoreApplication::quit(); }

private:
    GeometryMemory &geometry_;
    StoreAccess &store_;
    std::function<void()> restart_;
};

} // namespace

void TAppForm::ResettoDefaults1Click()
{
    WindowReset actions(geometry_, store_, env_.restartProgram);
    resetToDefaults(env_.boxes, translator_, dataFolder_, actions);
}

void TAppForm::SendFeedback1Click()
{
    if (!env_.feedbackPoster)
        return;
    const TEXEVersionData version = readVersionInfo();
    TFeedbackForm form(FeedbackContext{translator_, version.ProductName, version.windowTitle(), versionText(),
                                       makerSite(), *env_.feedbackPoster, env_.boxes,
                                       [this] { env_.notifications.beep(); }},
                       this);
    form.exec();
}

void TAppForm::About1Click()
{
    const TEXEVersionData version = readVersionInfo();
    sentrel::About1Click(version.ProductName, versionText(), version.LegalCopyright, this);
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
    guarded([&] { geometry_.windowResized(sizeState, frameGeometry()); });
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
