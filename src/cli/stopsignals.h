#pragma once

namespace sentrel::cli {

// While an object of this class lives, SIGINT (Ctrl-C) and SIGTERM (kill,
// a service manager, a cluster ending a pod) no longer end the process at
// once: they are only noted, and a run of checks asks after each row whether
// to stop, so that it can first make durable what it has done and print it.
// The previous handling comes back when the object goes.
class StopSignals {
public:
    StopSignals();
    ~StopSignals();
    StopSignals(const StopSignals &) = delete;
    StopSignals &operator=(const StopSignals &) = delete;

    // 0 while no stop was asked for, else the number of the first signal.
    int received() const;
    // The shell's exit code for a process ended by `signal`: 128 + its number
    // (130 for SIGINT, 143 for SIGTERM).
    static int exitCode(int signal) { return 128 + signal; }
};

} // namespace sentrel::cli
