// The browser strip method on pages nested to hurt: unclosed blocks and
// nested open <details>, below and far beyond the nesting limit, and the
// cost of the limit's scan on a normal page.
#include "strip/nestinglimit.h"
#include "strip/strippers.h"
#include <benchmark/benchmark.h>

using namespace sentrel;

namespace {

QString repeated(const QString &piece, int times)
{
    QString s;
    s.reserve(piece.size() * times);
    for (int i = 0; i < times; ++i)
        s += piece;
    return s;
}

QString hostilePage(int kind, int depth)
{
    switch (kind) {
    case 0:
        return repeated(QStringLiteral("<div>x"), depth);
    case 1:
        return repeated(QStringLiteral("<pre><details open><summary>x"), depth);
    case 2:
        return repeated(QStringLiteral("<b id=a>x"), depth);
    default:
        return repeated(QStringLiteral("<table><tr><td>x"), depth);
    }
}

void BM_StripBrowserHostile(benchmark::State &state)
{
    const QString page = hostilePage(int(state.range(0)), int(state.range(1)));
    for (auto _ : state)
        benchmark::DoNotOptimize(StripWithBrowser(page));
    state.SetBytesProcessed(int64_t(state.iterations()) * page.size());
}
BENCHMARK(BM_StripBrowserHostile)
    ->ArgNames({"kind", "depth"})
    ->ArgsProduct({{0, 1, 2, 3}, {1000, 4000, 50000, 200000}})
    ->Unit(benchmark::kMillisecond);

// The scan alone on a flat page of 100 KB: what every normal page pays.
void BM_LimitNestingFlatPage(benchmark::State &state)
{
    const QByteArray page =
        repeated(QStringLiteral("<p class=\"a\">Some text <a href=\"/x?a=1&amp;b=2\">link</a> more</p>\n"),
                 1600)
            .toUtf8();
    for (auto _ : state)
        benchmark::DoNotOptimize(limitNesting(page));
    state.SetBytesProcessed(int64_t(state.iterations()) * page.size());
}
BENCHMARK(BM_LimitNestingFlatPage);

} // namespace

BENCHMARK_MAIN();
