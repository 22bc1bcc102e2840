// Download rate of DownloadPage against a loopback server: 200 sequential
// downloads of a ~20 KB page per iteration, each with its own client and
// connection, as a run of checks does them.
#include "fetch/fetcher.h"
#include "support/compression.h"
#include "support/loopbackserver.h"
#include <benchmark/benchmark.h>
#include <string>

namespace {

using sentrel::test::LoopbackServer;
using sentrel::test::Reply;

constexpr int kDownloads = 200;

// A page of the usual shape: head with a script and a style, a table of
// prices, paragraphs with entities; about 20 KB.
std::string makePage()
{
    std::string page = "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>Prices</title>\n"
                       "<style>td { padding: 2px; } .up { color: green; }</style>\n"
                       "<script>var t = Date.now(); function f(a) { return a < 3 && a > 1; }</script>\n"
                       "</head><body>\n<h1>Daily prices</h1>\n<table>\n";
    for (int i = 0; page.size() < 14000; ++i)
        page += "<tr><td>Item " + std::to_string(i) + "</td><td class=\"up\">&euro; " +
                std::to_string(i * 37 % 1000) + ".50</td><td>caf\xC3\xA9 &amp; th\xC3\xA9</td></tr>\n";
    page += "</table>\n";
    while (page.size() < 20000)
        page +=
            "<p>Lorem ipsum dolor sit amet, consectetur adipiscing elit &mdash; sed do eiusmod tempor.</p>\n";
    page += "</body></html>\n";
    return page;
}

void runDownloads(benchmark::State &state, LoopbackServer &server, const QString &url, std::size_t pageBytes)
{
    for (auto _ : state) {
        for (int i = 0; i < kDownloads; ++i)
            benchmark::DoNotOptimize(sentrel::DownloadPage(url));
    }
    const auto pages = double(state.iterations()) * kDownloads;
    state.counters["pages/s"] = benchmark::Counter(pages, benchmark::Counter::kIsRate);
    state.SetBytesProcessed(int64_t(pages * double(pageBytes)));
    state.counters["requests"] = double(server.requests().size());
}

void BM_Fetch200Plain(benchmark::State &state)
{
    const std::string page = makePage();
    LoopbackServer server;
    server.on("/page", Reply::ok(page, "Content-Type: text/html; charset=utf-8\r\n"));
    runDownloads(state, server, server.url("/page"), page.size());
}

void BM_Fetch200Gzip(benchmark::State &state)
{
    const std::string page = makePage();
    LoopbackServer server;
    server.on("/page", Reply::ok(sentrel::test::gzipped(page),
                                 "Content-Type: text/html; charset=utf-8\r\nContent-Encoding: gzip\r\n"));
    runDownloads(state, server, server.url("/page"), page.size());
}

void BM_Fetch200Https(benchmark::State &state)
{
    const std::string page = makePage();
    LoopbackServer server(sentrel::test::TlsSettings{});
    server.on("/page", Reply::ok(page, "Content-Type: text/html; charset=utf-8\r\n"));
    runDownloads(state, server, server.url("/page", "localhost"), page.size());
}

} // namespace

BENCHMARK(BM_Fetch200Plain)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Fetch200Gzip)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Fetch200Https)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
