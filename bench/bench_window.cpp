// The desktop window with many URLs: start-up with a filled store, and Load
// List of a large file (one transaction for all adds). Offscreen platform.
#include "app/urllistview.h"
#include "windowbenchmain.h"
#include "windowfixture.h"
#include <QFile>
#include <benchmark/benchmark.h>

using namespace sentrel;
using namespace sentrel::test;

namespace {

QString writeList(WindowFixture &fixture, int count)
{
    const QString path = fixture.path(QStringLiteral("list.txt"));
    QFile file(path);
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    for (int i = 0; i < count; ++i)
        file.write("https://host" + QByteArray::number(i) + ".example/watched/page.html\r\n");
    return path;
}

void BM_LoadList(benchmark::State &state)
{
    const int count = int(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        WindowFixture fixture;
        const QString list = writeList(fixture, count);
        TAppForm &window = fixture.start();
        fixture.files.openAnswers = {list};
        state.ResumeTiming();
        window.ToolButton2Click();
        benchmark::DoNotOptimize(window.urlList()->rowCount());
        state.PauseTiming();
        if (window.urlList()->rowCount() != count)
            state.SkipWithError("rows missing");
        fixture.stop();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_LoadList)->Arg(1000)->Arg(5000)->Unit(benchmark::kMillisecond);

void BM_StartupWithStoredUrls(benchmark::State &state)
{
    const int count = int(state.range(0));
    WindowFixture fixture;
    const QString list = writeList(fixture, count);
    fixture.start();
    fixture.files.openAnswers = {list};
    fixture.window().ToolButton2Click();
    fixture.stop();
    for (auto _ : state) {
        TAppForm &window = fixture.start();
        benchmark::DoNotOptimize(window.urlList()->rowCount());
        state.PauseTiming();
        fixture.stop();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_StartupWithStoredUrls)->Arg(1000)->Arg(5000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    return sentrel::bench::runWindowBenchmarks(argc, argv);
}
