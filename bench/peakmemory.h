#pragma once
#include <sys/resource.h>

namespace sentrel::bench {

// The peak resident memory of the whole process so far (a benchmark's own
// server included): run one benchmark per process (--benchmark_filter) to
// read it per run.
inline double peakMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

} // namespace sentrel::bench
