#pragma once
#include "check/reduction.h"
#include "strip/strippers.h"
#include <QCoreApplication>
#include <QDateTime>
#include <QString>
#include <QStringList>

// What a check needs of its surroundings besides the URL list's model. The
// desktop window and sentrel-cli each implement these; tests use small fakes.
namespace sentrel {

// The status bar and the log pane.
class CheckDisplay {
public:
    virtual ~CheckDisplay() = default;
    virtual void setStatusText(const QString &text) = 0;
    virtual void appendLog(const QString &line) = 0;
};

// The program-wide choices a check reads at the moment it needs them.
class CheckPreferences {
public:
    virtual ~CheckPreferences() = default;
    virtual StripMethod stripMethod() const = 0;
    virtual const QStringList &exclusions() const = 0;
};

// Lets pending window messages be handled (repaint, commands, timer ticks).
// Whatever runs from here may change the list.
class EventPump {
public:
    virtual ~EventPump() = default;
    virtual void letMessagesThrough() = 0;
};

// The window's event queue: repaint, commands and timer ticks are handled
// before this returns.
class QtEventPump final : public EventPump {
public:
    void letMessagesThrough() override { QCoreApplication::processEvents(); }
};

// No window: nothing to let through (sentrel-cli, tests).
class NoEventPump final : public EventPump {
public:
    void letMessagesThrough() override {}
};

// Downloads one page: the decoded text with normalised line breaks, or
// throws sentrel::Error whose message becomes the URL's status. An
// implementation may keep the window's messages flowing while it waits.
class PageLoader {
public:
    virtual ~PageLoader() = default;
    virtual QString load(const QString &url) = 0;
};

// Steps 9 to 14 of a check (reducePage). sentrel-cli puts in one that has
// done the work ahead on another thread for the same inputs.
class PageReducer {
public:
    virtual ~PageReducer() = default;
    virtual QString reduce(const QString &url, const QString &body, const CheckOptions &options,
                           StripMethod method, const QStringList &exclusions) = 0;
};

class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime localNow() const = 0;
};

class SystemClock final : public Clock {
public:
    QDateTime localNow() const override { return QDateTime::currentDateTime(); }
};

} // namespace sentrel
