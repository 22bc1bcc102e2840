#include "cli/stopsignals.h"
#include <atomic>
#include <csignal>

namespace sentrel::cli {

namespace {

// A signal handler can only reach a global; a lock-free atomic is one of the
// few things it may touch.
std::atomic<int> receivedSignal{0};
static_assert(std::atomic<int>::is_always_lock_free);

using Handler = void (*)(int);
Handler previousInterrupt = SIG_DFL;
Handler previousTerminate = SIG_DFL;

extern "C" void noteStop(int signal)
{
    int none = 0;
    receivedSignal.compare_exchange_strong(none, signal);
}

} // namespace

StopSignals::StopSignals()
{
    receivedSignal = 0;
    previousInterrupt = std::signal(SIGINT, noteStop);
    previousTerminate = std::signal(SIGTERM, noteStop);
}

StopSignals::~StopSignals()
{
    std::signal(SIGINT, previousInterrupt);
    std::signal(SIGTERM, previousTerminate);
}

int StopSignals::received() const
{
    return receivedSignal.load();
}

} // namespace sentrel::cli
