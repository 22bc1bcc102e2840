#include "check/runtimer.h"

namespace sentrel {

QtRunTimer::QtRunTimer(std::function<void()> onTick) : onTick_(std::move(onTick))
{
    timer_.setInterval(1000);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
        if (onTick_)
            onTick_();
    });
}

} // namespace sentrel
