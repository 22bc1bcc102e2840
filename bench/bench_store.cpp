// The website store: start-up load of a large store and the save a changed
// check makes, with every change synced to disk.
#include "storage/websitedb.h"
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <memory>
#include <vector>

using namespace sentrel;

namespace {

QString contentOf(int size, int variant)
{
    // Text-like content that differs from one save to the next, so that
    // every save really writes its pages.
    QString text;
    text.reserve(size);
    static const QString words = QStringLiteral("price offer news 'quoted' stock update\r\n");
    for (int i = 0; text.size() < size; ++i)
        text += words[(i * 7 + variant) % words.size()];
    text.truncate(size);
    return text;
}

StoreSettings settingsFor(int journal)
{
    StoreSettings s;
    s.journal = journal == 0 ? StoreJournal::WriteAheadLog : StoreJournal::Rollback;
    return s;
}

// A store of `rows` URLs, each saved once with `contentSize` characters.
std::unique_ptr<QTemporaryDir> makeStore(int rows, int contentSize, int journal = 0)
{
    auto dir = std::make_unique<QTemporaryDir>();
    WebsiteDb db(dir->path(), settingsFor(journal));
    StoreBatch batch(db);
    for (int i = 0; i < rows; ++i) {
        const QString url = QStringLiteral("https://site%1.example/page").arg(i);
        db.DbAddUrl(url);
        db.DbSaveWebsite(url, contentOf(contentSize, i), QStringLiteral("OK"));
    }
    batch.commit();
    return dir;
}

// DbLoadWebsites on an open store: the statement, every row and its time
// shown in local time.
void BM_LoadWebsites(benchmark::State &state)
{
    const int rows = int(state.range(0));
    const auto dir = makeStore(rows, int(state.range(1)));
    WebsiteDb db(dir->path(), {});
    for (auto _ : state) {
        const auto websites = db.DbLoadWebsites();
        if (int(websites.size()) != rows)
            state.SkipWithError("wrong row count");
        benchmark::DoNotOptimize(websites.data());
    }
    state.counters["rows/s"] =
        benchmark::Counter(double(rows), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_LoadWebsites)->Args({10000, 2000})->Args({10000, 50000})->Unit(benchmark::kMillisecond);

// Start-up as the programs do it: open (settings, migration check) and load.
void BM_OpenAndLoad(benchmark::State &state)
{
    const auto dir = makeStore(int(state.range(0)), int(state.range(1)));
    for (auto _ : state) {
        WebsiteDb db(dir->path(), {});
        benchmark::DoNotOptimize(db.DbLoadWebsites().size());
    }
}
BENCHMARK(BM_OpenAndLoad)->Args({10000, 2000})->Args({10000, 50000})->Unit(benchmark::kMillisecond);

// 1 000 saves of 50 000-character texts, each one its own durable
// transaction, spread over the rows of the store. Reports the median and
// the 99th percentile of one save. Arguments: rows in the store, journal
// (0 write-ahead log, 1 rollback journal).
void BM_SaveWebsite(benchmark::State &state)
{
    const int rows = int(state.range(0));
    const int journal = int(state.range(1));
    const auto dir = makeStore(rows, 50000, journal);
    WebsiteDb db(dir->path(), settingsFor(journal));
    std::vector<QString> contents;
    for (int v = 0; v < 8; ++v)
        contents.push_back(contentOf(50000, 100 + v));
    std::vector<double> ms;
    int call = 0;
    for (auto _ : state) {
        const QString url = QStringLiteral("https://site%1.example/page").arg((call * 37) % rows);
        QElapsedTimer timer;
        timer.start();
        db.DbSaveWebsite(url, contents[size_t(call % 8)], QStringLiteral("Changed!"));
        ms.push_back(double(timer.nsecsElapsed()) / 1e6);
        ++call;
    }
    std::sort(ms.begin(), ms.end());
    state.counters["median_ms"] = ms[ms.size() / 2];
    state.counters["p99_ms"] = ms[ms.size() * 99 / 100];
    state.counters["max_ms"] = ms.back();
}
BENCHMARK(BM_SaveWebsite)
    ->Args({1000, 0})
    ->Args({10000, 0})
    ->Args({1000, 1})
    ->Iterations(1000)
    ->Unit(benchmark::kMillisecond);

// sentrel-cli add of many URLs: one transaction for all of them.
void BM_AddUrlsInOneBatch(benchmark::State &state)
{
    const int count = int(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir dir;
        WebsiteDb db(dir.path(), {});
        state.ResumeTiming();
        StoreBatch batch(db);
        for (int i = 0; i < count; ++i)
            db.DbAddUrl(QStringLiteral("https://site%1.example/").arg(i));
        batch.commit();
    }
}
BENCHMARK(BM_AddUrlsInOneBatch)->Arg(200)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
