// "Check All" of sentrel-cli over 10 000 small loopback pages: the first run
// (every page saved) and an unchanged one (nothing saved). Run one benchmark
// per process to read its peak memory:
//   bench_check_large --benchmark_filter=Unchanged
#include "benchcli.h"
#include "largelist.h"
#include "peakmemory.h"
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

using namespace sentrel::bench;

void checkAll(benchmark::State &state, bool unchanged)
{
    static LargeSite site;
    const QStringList check{QStringLiteral("check"), QStringLiteral("--all"), QStringLiteral("--jobs"),
                            QString::number(state.range(0))};
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir dir;
        cli(dir.path(), QStringList{QStringLiteral("add")} + site.urls);
        if (unchanged)
            cli(dir.path(), check);
        state.ResumeTiming();
        if (cli(dir.path(), check) != 0)
            state.SkipWithError("check failed");
    }
    state.counters["URLs/s"] =
        benchmark::Counter(double(state.iterations()) * kLargeListPages, benchmark::Counter::kIsRate);
    state.counters["peak_MB"] = peakMegabytes();
}

void BM_LargeListCheckAllFirst(benchmark::State &s)
{
    checkAll(s, false);
}
void BM_LargeListCheckAllUnchanged(benchmark::State &s)
{
    checkAll(s, true);
}

} // namespace

BENCHMARK(BM_LargeListCheckAllFirst)->Arg(8)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
BENCHMARK(BM_LargeListCheckAllUnchanged)->Arg(8)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

BENCHMARK_MAIN();
