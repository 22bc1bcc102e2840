#pragma once
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class QTimer;

// Start-up of the main window in its fixed order, the command-line switch
// "/auto" and the one-shot timer that handles it.
namespace sentrel {

// The steps the main window performs while it is created. runStartup calls
// them in this order; a step reports failure by throwing sentrel::Error.
class StartupSteps {
public:
    virtual ~StartupSteps() = default;
    virtual void setWindowTitleFromVersion() = 0; // company name + " - " + product name
    virtual void chooseDataFolder() = 0;
    virtual void openSettings() = 0;
    virtual void applySettings() = 0; // Interval ... MinimizeStartup
    virtual void readAutostartEntry() = 0;
    virtual void loadLanguage() = 0; // the automatic choice
    virtual void setUpTextAreas() = 0;
    // Opens the store and migrates its columns: StoreOpenError when the
    // connection cannot be opened, another Error when the migration fails.
    virtual void openStore() = 0;
    virtual void createChangedListAndLoadExclusions() = 0;
    virtual void fillUrlList() = 0;
    virtual void restoreGeometry() = 0;
    virtual void setStartupComplete() = 0;

    // The store's own message ("Exception raised with message:" CR CR ...),
    // a plain box.
    virtual void showStoreOpenError(const QString &text) = 0;
    // The application's default error box.
    virtual void showErrorBox(const QString &message) = 0;
};

enum class StartupOutcome {
    Complete,
    StoreNotOpened, // the open message was shown; the later steps were skipped
    Stopped,        // an error was shown in the default error box; the later steps were skipped
};

// Runs the steps in order. An error ends start-up where it happens, but
// never the window: it opens in whatever state the earlier steps left.
StartupOutcome runStartup(StartupSteps &steps);

// True when the first argument (after the program name), lower-cased, is
// exactly "/auto"; later arguments are never looked at.
bool hasAutoSwitch(const QStringList &arguments);

enum class StartupWindowAction { None, HideToTray, Minimize };

// What the command-line timer does: with "/auto" and "Minimize at Startup",
// hide to the tray when "Minimize to System Tray" is on, else minimize.
StartupWindowAction commandLineAction(const QStringList &arguments, bool minimizeAtStartup,
                                      bool minimizeToTray);

// TimerParam: one shot, about a second after the window is first shown.
class CommandLineTimer {
public:
    static constexpr int IntervalMs = 1000;

    explicit CommandLineTimer(std::function<void()> handler);
    ~CommandLineTimer();
    CommandLineTimer(const CommandLineTimer &) = delete;
    CommandLineTimer &operator=(const CommandLineTimer &) = delete;

    // FormShow: starts the timer unless its handler has already run.
    void formShow();
    bool hasRun() const { return ran_; }
    bool isActive() const;

private:
    void fire();

    std::unique_ptr<QTimer> timer_;
    std::function<void()> handler_;
    bool ran_ = false;
};

} // namespace sentrel
