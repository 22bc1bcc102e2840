#include "app/startup.h"
#include "storage/storeerror.h"
#include "storage/storesqlite.h"
#include "text/error.h"
#include <QTimer>

namespace sentrel {

StartupOutcome runStartup(StartupSteps &steps)
{
    // Each step as a member pointer, so that the order is written once.
    using Step = void (StartupSteps::*)();
    static constexpr Step beforeStore[] = {
        &StartupSteps::setWindowTitleFromVersion,
        &StartupSteps::chooseDataFolder,
        &StartupSteps::openSettings,
        &StartupSteps::applySettings,
        &StartupSteps::readAutostartEntry,
        &StartupSteps::loadLanguage,
        &StartupSteps::setUpTextAreas,
    };
    static constexpr Step afterStore[] = {
        &StartupSteps::createChangedListAndLoadExclusions,
        &StartupSteps::fillUrlList,
        &StartupSteps::restoreGeometry,
        &StartupSteps::setStartupComplete,
    };
    try {
        for (Step step : beforeStore)
            (steps.*step)();
        try {
            steps.openStore();
        } catch (const StoreOpenError &error) {
            steps.showStoreOpenError(storeOpenErrorText(error));
            return StartupOutcome::StoreNotOpened;
        }
        for (Step step : afterStore)
            (steps.*step)();
    } catch (const Error &error) {
        steps.showErrorBox(error.message());
        return StartupOutcome::Stopped;
    }
    return StartupOutcome::Complete;
}

bool hasAutoSwitch(const QStringList &arguments)
{
    // Only ASCII letters change case, as the switch is plain ASCII.
    return !arguments.isEmpty() && arguments.front().toLower() == QStringLiteral("/auto");
}

StartupWindowAction commandLineAction(const QStringList &arguments, bool minimizeAtStartup,
                                      bool minimizeToTray)
{
    if (!hasAutoSwitch(arguments) || !minimizeAtStartup)
        return StartupWindowAction::None;
    return minimizeToTray ? StartupWindowAction::HideToTray : StartupWindowAction::Minimize;
}

CommandLineTimer::CommandLineTimer(std::function<void()> handler)
    : timer_(std::make_unique<QTimer>()), handler_(std::move(handler))
{
    timer_->setSingleShot(true);
    timer_->setInterval(IntervalMs);
    QObject::connect(timer_.get(), &QTimer::timeout, [this] { fire(); });
}

CommandLineTimer::~CommandLineTimer() = default;

void CommandLineTimer::formShow()
{
    if (!ran_ && !timer_->isActive())
        timer_->start();
}

bool CommandLineTimer::isActive() const
{
    return timer_->isActive();
}

void CommandLineTimer::fire()
{
    timer_->stop();
    ran_ = true;
    if (handler_)
        handler_();
}

} // namespace sentrel
