#pragma once
#include "check/checkports.h"
#include "check/runports.h"
#include "dialogs/exclusionform.h"
#include "storage/storeerror.h"
#include <QString>
#include <QStringList>

class QActionGroup;
class QLabel;
class QPlainTextEdit;

// The window as the checks, the runs and the URL list logic see it: the
// status bar, the log pane, the strip-method choice and the exclusion list,
// and the error boxes.
namespace sentrel {

class MessageBoxes;

struct WindowPortParts {
    QLabel &statusText;
    QPlainTextEdit &log;
    const QActionGroup &stripMethods; // its actions carry the StripMethod as data
    const QStringList &exclusions;
    MessageBoxes &boxes;
    QString applicationTitle;
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
    // ErrorBox and ExclusionErrorSink: the application title, a stop icon, the message.
    void showError(const QString &message) override;
    // StoreErrorSink: a plain box with the application title.
    void showStoreError(const QString &text) override;

private:
    WindowPortParts p_;
};

} // namespace sentrel
