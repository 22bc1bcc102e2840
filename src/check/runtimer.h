#pragma once
#include <QObject>
#include <QTimer>
#include <functional>

namespace sentrel {

// The automatic-check timer: once started it ticks every second until stopped.
class RunTimer {
public:
    virtual ~RunTimer() = default;
    virtual void start() = 0;
    virtual void stop() = 0;
    virtual bool isActive() const = 0;
};

// The real one, a QTimer of the calling thread's event loop.
class QtRunTimer final : public RunTimer {
public:
    explicit QtRunTimer(std::function<void()> onTick = {});
    void setHandler(std::function<void()> onTick) { onTick_ = std::move(onTick); }

    void start() override { timer_.start(); }
    void stop() override { timer_.stop(); }
    bool isActive() const override { return timer_.isActive(); }

private:
    QTimer timer_;
    std::function<void()> onTick_;
};

} // namespace sentrel
