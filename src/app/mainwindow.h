#pragma once
#include "app/appenvironment.h"
#include "app/autostart.h"
#include "app/commands.h"
#include "app/failurenotices.h"
#include "app/runlockgate.h"
#include "app/startup.h"
#include "app/tray.h"
#include "app/windowports.h"
#include "check/autocheck.h"
#include "check/checkassembly.h"
#include "check/checkrun.h"
#include "check/checkurl.h"
#include "check/notifications.h"
#include "check/outcomepainter.h"
#include "check/runcommands.h"
#include "check/runtimer.h"
#include "dialogs/addurls.h"
#include "dialogs/editurl.h"
#include "storage/geometry.h"
#include "storage/settings.h"
#include "storage/storeaccess.h"
#include "text/translation.h"
#include "uimodel/urllistmodel.h"
#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <memory>

class QLabel;
class QSplitter;
class QTabWidget;

// The main window: toolbar, interval bar, the "URL List", "Action" and "Log"
// pages, the content preview below them and the status bar. It owns the
// store, the settings, the lists and the timers for the life of the process
// and routes every command of its menus to the piece that carries it out.
namespace sentrel {

class ActionPage;
class CodeEditor;
class EditMenu;
class IntervalBar;
class PreviewPanel;
class RunControl;
class UrlListView;

class TAppForm final : public QMainWindow {
    Q_OBJECT
public:
    // Runs the start-up order: title, data folder, settings, language,
    // store, exclusion list, URL list, geometry, start-up complete.
    explicit TAppForm(AppEnvironment environment, QWidget *parent = nullptr);
    ~TAppForm() override;

    // The parts tests and the lifecycle code drive.
    const AppCommands &commands() const { return c_; }
    UrlListView *urlList() const { return ListView1; }
    UrlListModel &urlModel() { return urlModel_; }
    IntervalBar *intervalBar() const { return intervalBar_; }
    ActionPage *actionPage() const { return actionPage_; }
    CodeEditor *logPane() const { return SynEditLog; }
    EditMenu *logMenu() const { return logMenu_; }
    PreviewPanel *contentPanel() const { return PanelContent; }
    QTabWidget *pages() const { return PageControl1; }
    QString statusText() const;
    const QString &dataFolder() const { return dataFolder_; }
    SettingsFile &settings() { return settings_; }
    StoreAccess &store() { return store_; }
    CheckRuns &runs() { return *runs_; }
    AutoCheck &autoCheck() { return *autoCheck_; }
    RunControl &runControl() { return *runControl_; }
    const QStringList &changedUrls() const { return changedUrls_; }
    GeometryMemory &geometryMemory() { return geometry_; }
    // The most recent Add URLs dialog while it is open.
    TFormAddURLs *addUrlsDialog() const { return addUrls_; }

    // The handlers of the command table.
    void CheckURL1Click();   // Check URL
    void ToolButton1Click(); // Check All
    void ToolButton3Click(); // Add URLs
    void ToolButton2Click(); // Load List
    void ToolButton4Click(); // Save List
    void Exit1Click();
    void ToolButton8Click(); // Edit
    void Copy1Click();
    void OpenURLwithDefaultBrowser1Click();
    void Delete1Click();
    void SelectAll1Click();
    void ListView1Click();
    void Button1Click(); // "Browse..."
    void StripMethodClick(QAction *item);
    void Help2Click();
    void ContentPanelGizle();

    // Handlers carried out by the dialogs and the lifecycle pieces.
    void EditURL1Click();
    void History1Click();
    void Exclusions1Click();
    void Autostartatstartup1Click();
    void StartMinimized1Click();
    void MinimizetoSystemTray1Click();
    void ResettoDefaults1Click();
    void SendFeedback1Click();
    void About1Click();
    void TimerParamTimer(); // "/auto", once, about a second after the first showing

    TrayController &tray() { return *tray_; }
    const CommandLineTimer &commandLineTimer() const { return timerParam_; }

protected:
    void resizeEvent(QResizeEvent *event) override; // FormResize
    void moveEvent(QMoveEvent *event) override;     // OnMove
    void closeEvent(QCloseEvent *event) override;   // FormCloseQuery
    void showEvent(QShowEvent *event) override;     // FormShow

private:
    // The start-up steps; WindowStartup hands them to runStartup in order.
    friend class WindowStartup;
    void setTitleFromVersion();
    void chooseDataFolder();
    void openSettings();
    void applyStartupSettings();
    void readAutostartEntry();
    void loadLanguage();
    void openStore();
    void showStoreOpenError(const QString &text);
    void createChangedListAndLoadExclusions();
    void fillUrlList();
    void restoreWindowGeometry();

    void buildLayout();
    void connectCommands();
    void showAutostartItems();
    void layoutContentPanel();
    void correctRestoredSize();
    void showContentPanel();
    // While the preview is shown it shows the current row, however that moved.
    void previewCurrentRow(const QModelIndex &current);
    // The list view's selected rows, read when called.
    std::function<QList<RowId>()> selection() const;
    // Runs a handler; an error it does not catch is shown in the error box.
    void guarded(const std::function<void()> &work);

    AppEnvironment env_;
    Translator translator_;
    QString dataFolder_;
    SettingsFile settings_;
    StoreAccess store_;
    QStringList exclusions_;
    QStringList changedUrls_;
    // Before the widgets are made: the list view shows it.
    UrlListModel urlModel_;
    NotificationChoices choices_;

    AppCommands c_{};
    IntervalBar *intervalBar_ = nullptr;
    QTabWidget *PageControl1 = nullptr;
    UrlListView *ListView1 = nullptr;
    ActionPage *actionPage_ = nullptr;
    CodeEditor *SynEditLog = nullptr;
    EditMenu *logMenu_ = nullptr;
    QSplitter *Splitter1 = nullptr;
    PreviewPanel *PanelContent = nullptr;
    QLabel *StatusBar1 = nullptr;
    // The stored outer size, applied again once the frame is known (a window
    // not shown yet has none, and the size would grow by it at every start).
    std::optional<int> restoredWidth_;
    std::optional<int> restoredHeight_;
    int contentHeight_ = 137; // the preview's height until a resize sets a third of the window
    QPointer<TFormAddURLs> addUrls_;

    std::unique_ptr<WindowPorts> ports_;
    // The options dialog's errors: shown, then the list made to match the store.
    std::unique_ptr<StoreErrorSink> editErrors_;
    std::unique_ptr<OutcomePainter> painter_;
    SystemClock clock_;
    QtEventPump pump_;
    std::unique_ptr<CheckAssembly> checks_;
    std::unique_ptr<RunLockGate> runLock_; // the runs check through it
    std::unique_ptr<ActionNotifier> notifier_;
    FailureNotices failureNotices_{[this](const QString &message) { ports_->appendLog(message); }};
    std::unique_ptr<CheckRuns> runs_;
    std::unique_ptr<RunCommands> runCommands_;
    QtRunTimer timerAuto_;
    std::unique_ptr<AutoCheck> autoCheck_;
    std::unique_ptr<RunControl> runControl_; // one run at a time
    std::unique_ptr<ActionSettings> actionSettings_;
    GeometryMemory geometry_;

    AutostartItems autostartItems_;
    std::unique_ptr<TrayController> tray_;
    CommandLineTimer timerParam_;
};

} // namespace sentrel
