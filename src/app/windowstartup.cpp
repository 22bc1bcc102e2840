#include "app/windowstartup.h"
#include "app/mainwindow.h"
#include "text/error.h"

namespace sentrel {

void WindowStartup::run(const std::function<void()> &step)
{
    try {
        step();
    } catch (const Error &) {
        throw;
    } catch (const std::exception &e) {
        throw Error(errorMessage(e));
    }
}

void WindowStartup::setWindowTitleFromVersion()
{
    run([this] { window_.setTitleFromVersion(); });
}

void WindowStartup::chooseDataFolder()
{
    run([this] { window_.chooseDataFolder(); });
}

void WindowStartup::openSettings()
{
    run([this] { window_.openSettings(); });
}

void WindowStartup::applySettings()
{
    run([this] { window_.applyStartupSettings(); });
}

void WindowStartup::readAutostartEntry()
{
    run([this] { window_.readAutostartEntry(); });
}

void WindowStartup::loadLanguage()
{
    run([this] { window_.loadLanguage(); });
}

void WindowStartup::setUpTextAreas()
{
    // The preview and the log are set up with the rest of the layout, before
    // start-up runs, since the settings applied earlier go to its controls.
}

void WindowStartup::openStore()
{
    run([this] { window_.openStore(); });
}

void WindowStartup::createChangedListAndLoadExclusions()
{
    run([this] { window_.createChangedListAndLoadExclusions(); });
}

void WindowStartup::fillUrlList()
{
    run([this] { window_.fillUrlList(); });
}

void WindowStartup::restoreGeometry()
{
    run([this] { window_.restoreWindowGeometry(); });
}

void WindowStartup::setStartupComplete()
{
    window_.geometry_.setStartupComplete(true);
}

void WindowStartup::showStoreOpenError(const QString &text)
{
    window_.showStoreOpenError(text);
}

void WindowStartup::showErrorBox(const QString &message)
{
    window_.ports_->showError(message);
}

} // namespace sentrel
