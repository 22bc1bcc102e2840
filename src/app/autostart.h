#pragma once
#include <QString>
#include <functional>
#include <optional>

// "Auto Run at Startup": the entry that starts the program at logon, and the
// two Settings menu items that depend on it.
namespace sentrel {

// Where the entry lives, named by the window title. Every call throws
// sentrel::Error when the entry cannot be read, written or deleted.
class AutostartStore {
public:
    virtual ~AutostartStore() = default;
    // The entry's command, nullopt when there is none.
    virtual std::optional<QString> read(const QString &name) const = 0;
    virtual void write(const QString &name, const QString &command) = 0;
    virtual void remove(const QString &name) = 0; // no entry is no error
};

// The entry's command: the executable's full path in double quotes, a blank
// and "/auto".
QString autostartCommand(const QString &executablePath);

// The desktop's autostart folder: $XDG_CONFIG_HOME/autostart, or
// ~/.config/autostart when that is unset or not absolute.
QString xdgAutostartFolder();

// Linux and other XDG desktops: <folder>/<name>.desktop, an application
// entry whose Exec line is the command.
class XdgAutostart final : public AutostartStore {
public:
    explicit XdgAutostart(QString folder = xdgAutostartFolder()) : folder_(std::move(folder)) {}
    std::optional<QString> read(const QString &name) const override;
    void write(const QString &name, const QString &command) override;
    void remove(const QString &name) override;

    QString entryPath(const QString &name) const;

private:
    QString folder_;
};

// The file text of an entry, and the command read back from one.
QString desktopEntryText(const QString &name, const QString &command);
std::optional<QString> desktopEntryCommand(const QString &fileText);

#ifdef Q_OS_WIN
// Windows: a string value under HKCU\Software\Microsoft\Windows\CurrentVersion\Run.
class RegistryAutostart final : public AutostartStore {
public:
    std::optional<QString> read(const QString &name) const override;
    void write(const QString &name, const QString &command) override;
    void remove(const QString &name) override;
};
#endif

// The check marks and enabling of "Auto Run at Startup" and "Minimize at
// Startup".
struct AutostartItems {
    bool autoRun = false;
    bool minimizeAtStartup = false; // as the settings hold it
    bool minimizeEnabled = false;

    bool operator==(const AutostartItems &) const = default;
};

// Start-up: "Auto Run at Startup" is checked when an entry with a non-empty
// command exists; "Minimize at Startup" is enabled only then and keeps the
// check mark the settings gave it.
AutostartItems autostartItemsAtStartup(const AutostartStore &store, const QString &name,
                                       bool minimizeAtStartup);

// Autostartatstartup1Click. Turning it off deletes the entry and, when
// "Minimize at Startup" is checked, turns that off through
// `setMinimizeAtStartup(false)` (which writes the setting); turning it on
// writes the entry for `executablePath`. The check mark changes first: a
// failing entry leaves it changed and throws.
void toggleAutostart(AutostartItems &items, AutostartStore &store, const QString &name,
                     const QString &executablePath, const std::function<void(bool)> &setMinimizeAtStartup);

} // namespace sentrel
