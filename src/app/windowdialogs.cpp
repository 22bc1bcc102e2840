#include "app/lifecycle.h"
#include "app/mainwindow.h"
#include "app/onlinehelp.h"
#include "app/urllistview.h"
#include "dialogs/aboutbox.h"
#include "dialogs/exclusionform.h"
#include "dialogs/feedback.h"
#include "dialogs/historydialog.h"
#include "storage/settingskeys.h"
#include "text/versioninfo.h"
#include <QAction>
#include <QCoreApplication>

// The commands carried out by the dialogs and the lifecycle pieces: options,
// exclusions, feedback, about, autostart, the "/auto" timer and Reset to
// Defaults.
namespace sentrel {

// --- Dialogs and lifecycle ---------------------------------------------

void TAppForm::EditURL1Click()
{
    sentrel::EditURL1Click(EditUrlContext{urlModel_, selection(), store_, *editErrors_}, this);
}

void TAppForm::History1Click()
{
    sentrel::History1Click(HistoryContext{urlModel_, selection(), store_, *ports_}, this);
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

} // namespace sentrel
