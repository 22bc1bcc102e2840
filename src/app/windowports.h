#pragma once
#include "check/checkports.h"
#include "check/runports.h"
#include "dialogs/exclusionform.h"
#include "storage/storeerror.h"
#include <QString>
#include <QStringList>
#include <functional>

class QActionGroup;
class QLabel;
class QPlainTextEdit;

// The window as the checks, the runs and the URL list logic see it: the
// status bar, the log pane, the strip-method choice and the exclusion list,
// the error boxes and the beep.
namespace sentrel {

class MessageBoxes;
class NotificationPlatform;

struct WindowPortParts {
    QLabel &statusText;
    QPlainTextEdit &log;
    const QActionGroup &stripMethods; // its actions carry the StripMethod as data
    const QStringList &exclusions;
    MessageBoxes &boxes;
    NotificationPlatform &platform;
    QString applicationTitle;
    std::function<void()> hideContentPanel;
};

class WindowPorts final : public CheckDisplay,
                          public CheckPreferences,
                          public RunWindow,
                          public StoreErrorSink,
                          public ExclusionErrorSink {
public:
    explicit WindowPorts(WindowPortParts parts) : p_(std::move(parts)) {}

    // CheckDisplay and RunWindow
    void setStatusText(const QString &text) override;
    void appendLog(const QString &line) override;
    // CheckPreferences
    StripMethod stripMethod() const override;
    const QStringList &exclusions() const override { return p_.exclusions; }
    // RunWindow
    void hideContentPanel() override { p_.hideContentPanel(); }
    void beep() override;
    // ErrorBox and ExclusionErrorSink: the application title, a stop icon, the message.
    void showError(const QString &message) override;
    // StoreErrorSink: a plain box with the application title.
    void showStoreError(const QString &text) override;

private:
    WindowPortParts p_;
};

} // namespace sentrel
