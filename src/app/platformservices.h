#pragma once
#include "app/appenvironment.h"
#include "check/notifications.h"
#include <memory>

class QSoundEffect;

// The real file dialogs, shell and notification services of the desktop.
namespace sentrel {

class QtFileDialogs final : public FileDialogs {
public:
    QString openFile(QWidget *parent, const QString &defaultSuffix, const QString &filter) override;
    QString saveFile(QWidget *parent, const QString &defaultSuffix, const QString &filter) override;
};

class QtDesktopShell final : public DesktopShell {
public:
    bool openUrl(const QString &url) override;
};

// The beep of the windowing system, a sound effect that plays on while the
// program goes on, and the shell for the changed pages.
class QtNotificationPlatform final : public NotificationPlatform {
public:
    explicit QtNotificationPlatform(DesktopShell &shell);
    ~QtNotificationPlatform() override;
    void beep() override;
    bool fileExists(const QString &path) const override;
    void playSoundAsync(const QString &path) override;
    void openUrl(const QString &url) override { (void)shell_.openUrl(url); }

private:
    DesktopShell &shell_;
    std::unique_ptr<QSoundEffect> sound_;
};

} // namespace sentrel
