// A "Check All" run of sentrel-cli over 200 loopback pages of about 100 KB:
// URLs per second and the peak memory of the process, for the first run
// (every page saved) and an unchanged run (nothing saved), with the default
// browser strip and with an XPath selection on the unstripped page, one
// download at a time and eight ahead.
#include "benchcli.h"
#include "peakmemory.h"
#include "support/loopbackserver.h"
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <string>

namespace {

using sentrel::bench::cli;
using sentrel::bench::peakMegabytes;
using sentrel::test::LoopbackServer;
using sentrel::test::Reply;

constexpr int kPages = 200;

// A page of a shop or news site: head with script and style, a table of
// prices, then paragraphs with entities; about 100 KB, different per page.
std::string makePage(int n)
{
    std::string page = "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>Prices " +
                       std::to_string(n) +
                       "</title>\n<style>td { padding: 2px; } .up { color: green; }</style>\n"
                       "<script>var t = Date.now(); function f(a) { return a < 3 && a > 1; }</script>\n"
                       "</head><body>\n<h1>Daily prices</h1>\n<table>\n";
    for (int i = 0; page.size() < 60000; ++i)
        page += "<tr><td>Item " + std::to_string(i) + "</td><td class=\"price\">&euro; " +
                std::to_string((i * 37 + n) % 1000) + ".50</td><td>caf\xC3\xA9 &amp; th\xC3\xA9</td></tr>\n";
    page += "</table>\n";
    while (page.size() < 100000)
        page +=
            "<p>Lorem ipsum dolor sit amet, consectetur adipiscing elit &mdash; sed do eiusmod tempor.</p>\n";
    page += "</body></html>\n";
    return page;
}

// The server and its pages, made once for all benchmarks.
struct Site {
    Site()
    {
        for (int i = 0; i < kPages; ++i) {
            const std::string target = "/page/" + std::to_string(i);
            server.on(target, Reply::ok(makePage(i), "Content-Type: text/html; charset=utf-8\r\n"));
            urls.append(server.url(target));
        }
    }
    LoopbackServer server;
    QStringList urls;
};

Site &site()
{
    static Site s;
    return s;
}

enum class Reduction { BrowserStrip, XPathUnstripped };
enum class Run { First, Unchanged };

void checkAll(benchmark::State &state, Reduction reduction, Run run)
{
    const QString jobs = QString::number(state.range(0));
    const QStringList urls = site().urls;
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir dir;
        cli(dir.path(), QStringList{QStringLiteral("add")} + urls);
        if (reduction == Reduction::XPathUnstripped)
            for (const QString &url : urls)
                cli(dir.path(), {QStringLiteral("set"), url, QStringLiteral("--strip"), QStringLiteral("no"),
                                 QStringLiteral("--xpath"), QStringLiteral("//td[@class='price']")});
        if (run == Run::Unchanged)
            cli(dir.path(),
                {QStringLiteral("check"), QStringLiteral("--all"), QStringLiteral("--jobs"), jobs});
        state.ResumeTiming();
        if (cli(dir.path(),
                {QStringLiteral("check"), QStringLiteral("--all"), QStringLiteral("--jobs"), jobs}) != 0)
            state.SkipWithError("check failed");
    }
    state.counters["URLs/s"] =
        benchmark::Counter(double(state.iterations()) * kPages, benchmark::Counter::kIsRate);
    // The whole process: the server's 20 MB of pages included.
    state.counters["peak_MB"] = peakMegabytes();
}

void BM_CheckAllFirstBrowser(benchmark::State &s)
{
    checkAll(s, Reduction::BrowserStrip, Run::First);
}
void BM_CheckAllUnchangedBrowser(benchmark::State &s)
{
    checkAll(s, Reduction::BrowserStrip, Run::Unchanged);
}
void BM_CheckAllFirstXPath(benchmark::State &s)
{
    checkAll(s, Reduction::XPathUnstripped, Run::First);
}
void BM_CheckAllUnchangedXPath(benchmark::State &s)
{
    checkAll(s, Reduction::XPathUnstripped, Run::Unchanged);
}

} // namespace

BENCHMARK(BM_CheckAllFirstBrowser)
    ->Arg(1)
    ->Arg(8)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);
BENCHMARK(BM_CheckAllUnchangedBrowser)
    ->Arg(1)
    ->Arg(8)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);
BENCHMARK(BM_CheckAllFirstXPath)->Arg(1)->Arg(8)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_CheckAllUnchangedXPath)
    ->Arg(1)
    ->Arg(8)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

BENCHMARK_MAIN();
