#pragma once
#include "app/startup.h"
#include <functional>

// The main window's start-up steps as runStartup drives them.
namespace sentrel {

class TAppForm;

// Each step calls the window's own method for it, so that the order and the
// handling of a failing step live in runStartup alone. A step that fails with
// something other than sentrel::Error (a library's own exception) reports it
// as an Error, so that no failure leaves the window's constructor.
class WindowStartup final : public StartupSteps {
public:
    explicit WindowStartup(TAppForm &window) : window_(window) {}

    void setWindowTitleFromVersion() override;
    void chooseDataFolder() override;
    void openSettings() override;
    void applySettings() override;
    void readAutostartEntry() override;
    void loadLanguage() override;
    void setUpTextAreas() override;
    void openStore() override;
    void createChangedListAndLoadExclusions() override;
    void fillUrlList() override;
    void restoreGeometry() override;
    void setStartupComplete() override;

    void showStoreOpenError(const QString &text) override;
    void showErrorBox(const QString &message) override;

private:
    static void run(const std::function<void()> &step);

    TAppForm &window_;
};

} // namespace sentrel
