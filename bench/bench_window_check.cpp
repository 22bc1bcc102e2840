// "Check All" of the desktop window over 10 000 small loopback pages, first
// run (every page saved) and unchanged run, offscreen. Run one benchmark per
// process to read its peak memory:
//   bench_window_check --benchmark_filter=Unchanged
#include "largelist.h"
#include "peakmemory.h"
#include "windowbenchmain.h"
#include "windowfixture.h"
#include <QFile>
#include <benchmark/benchmark.h>

namespace {

using namespace sentrel;
using namespace sentrel::bench;
using namespace sentrel::test;

void fillList(WindowFixture &fixture, const QStringList &urls)
{
    const QString path = fixture.path(QStringLiteral("list.txt"));
    QFile file(path);
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    for (const QString &url : urls)
        file.write(url.toUtf8() + "\r\n");
    file.close();
    fixture.start();
    fixture.files.openAnswers = {path};
    fixture.window().ToolButton2Click(); // Load List
}

void checkAll(benchmark::State &state, bool unchanged)
{
    static LargeSite site;
    for (auto _ : state) {
        state.PauseTiming();
        WindowFixture fixture;
        fillList(fixture, site.urls);
        if (unchanged)
            fixture.window().ToolButton1Click();
        state.ResumeTiming();
        fixture.window().ToolButton1Click(); // Check All
        state.PauseTiming();
        const QStringList statuses = fixture.statuses();
        if (statuses.size() != kLargeListPages || statuses.count(QStringLiteral("OK")) != kLargeListPages)
            state.SkipWithError("not every row was checked OK");
        fixture.stop();
        state.ResumeTiming();
    }
    state.counters["URLs/s"] =
        benchmark::Counter(double(state.iterations()) * kLargeListPages, benchmark::Counter::kIsRate);
    state.counters["peak_MB"] = peakMegabytes();
}

void BM_WindowLargeListCheckAllFirst(benchmark::State &s)
{
    checkAll(s, false);
}
void BM_WindowLargeListCheckAllUnchanged(benchmark::State &s)
{
    checkAll(s, true);
}
BENCHMARK(BM_WindowLargeListCheckAllFirst)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
BENCHMARK(BM_WindowLargeListCheckAllUnchanged)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

} // namespace

int main(int argc, char **argv)
{
    return sentrel::bench::runWindowBenchmarks(argc, argv);
}
