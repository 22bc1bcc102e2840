#pragma once
#include <QSet>
#include <QString>
#include <functional>

// Failures of the desktop's helpers (no browser, no sound) that would
// otherwise pass in silence. Each cause is told once, in the window rather
// than in a box, so a failure repeated by every run does not pile up boxes;
// after the cause works again, a new failure is told again.
namespace sentrel {

enum class FailureCause { OnlineHelp, Sound };

class FailureNotices {
public:
    explicit FailureNotices(std::function<void(const QString &)> show) : show_(std::move(show)) {}

    void failed(FailureCause cause, const QString &message);
    void succeeded(FailureCause cause) { told_.remove(cause); }

private:
    std::function<void(const QString &)> show_;
    QSet<FailureCause> told_;
};

} // namespace sentrel
