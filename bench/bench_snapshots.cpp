// The page-text history: 100 versions of a 100 KB page, each with about 1 %
// of its lines changed, appended to a store file one durable transaction at a
// time. Reports the file's growth (raw texts: 10 MB), the time of one append
// and of reading the oldest version, for a few packing choices; and the
// codec alone at the levels worth considering.
#include "storage/historyschema.h"
#include "storage/snapshotcodec.h"
#include "storage/snapshothistory.h"
#include "storage/storeschema.h"
#include "storage/storesqlite.h"
#include <QElapsedTimer>
#include <QFileInfo>
#include <QStringList>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <random>

using namespace sentrel;

namespace {

constexpr int Versions = 100;
constexpr int LinesPerPage = 1080; // about 100 KB of text

QString randomLine(std::mt19937 &random)
{
    static const QStringList words = {
        QStringLiteral("price"), QStringLiteral("offer"),   QStringLiteral("news"),
        QStringLiteral("stock"), QStringLiteral("update"),  QStringLiteral("delivery"),
        QStringLiteral("order"), QStringLiteral("article"), QStringLiteral("from"),
        QStringLiteral("the"),   QStringLiteral("and"),     QStringLiteral("€")};
    QString line;
    const int count = 6 + int(random() % 6);
    for (int i = 0; i < count; ++i)
        line += words[int(random() % words.size())] + u' ' + QString::number(random() % 10000) + u' ';
    return line;
}

// Version after version of one page: each rewrites about 1 % of the lines.
QStringList pageVersions()
{
    std::mt19937 random(42);
    QStringList lines;
    for (int i = 0; i < LinesPerPage; ++i)
        lines << randomLine(random);
    QStringList versions;
    for (int v = 0; v < Versions; ++v) {
        for (int change = 0; change < LinesPerPage / 100; ++change)
            lines[int(random() % LinesPerPage)] = randomLine(random);
        versions << lines.join(QStringLiteral("\r\n"));
    }
    return versions;
}

const QStringList &versions()
{
    static const QStringList all = pageVersions();
    return all;
}

qint64 fileSize(const QString &path)
{
    return QFileInfo(path).size();
}

// Arguments: a standalone snapshot every N, compression level.
void BM_AppendHundredVersions(benchmark::State &state)
{
    const HistoryPacking packing{int(state.range(0)), int(state.range(1))};
    double rawBytes = 0;
    for (const QString &text : versions())
        rawBytes += double(text.toUtf8().size());
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("websites.db"));
        SqliteConnection db(path);
        // The store's own settings: its page size, the write-ahead log and
        // a sync per change.
        db.queryText(QString::fromUtf8(storeschema::PageSize));
        db.queryText(u"PRAGMA journal_mode=WAL;");
        db.execute(u"PRAGMA synchronous=FULL;");
        db.execute(QString::fromLatin1(storeschema::CreateTable));
        createHistoryTable(db);
        db.execute(u"insert into WEBSITES (URL) values ('https://shop.example/');");
        db.queryText(u"PRAGMA wal_checkpoint(TRUNCATE);");
        const qint64 emptySize = fileSize(path);
        state.ResumeTiming();

        QElapsedTimer timer;
        timer.start();
        for (const QString &text : versions()) {
            db.execute(u"BEGIN IMMEDIATE;");
            appendSnapshot(db, 1, QStringLiteral("https://shop.example/"), text, QStringLiteral("OK"), {},
                           std::nullopt, packing);
            db.execute(u"COMMIT;");
        }
        const double appendMs = double(timer.nsecsElapsed()) / 1e6 / Versions;

        state.PauseTiming();
        // Every change into the file itself, so that its size tells.
        db.queryText(u"PRAGMA wal_checkpoint(TRUNCATE);");
        const qint64 oldest = listSnapshots(db, 1).back().id;
        timer.restart();
        const QString text = readSnapshot(db, oldest);
        const double readMs = double(timer.nsecsElapsed()) / 1e6;
        if (text != versions().front())
            state.SkipWithError("the oldest version reads back wrong");
        state.counters["growth_MB"] = double(fileSize(path) - emptySize) / 1e6;
        state.counters["blobs_MB"] = db.queryText(u"select sum(length(DATA)) from HISTORY;").toDouble() / 1e6;
        state.counters["free_MB"] =
            db.queryText(u"select freelist_count * page_size from pragma_freelist_count, pragma_page_size;")
                .toDouble() /
            1e6;
        state.counters["raw_MB"] = rawBytes / 1e6;
        state.counters["append_ms"] = appendMs;
        state.counters["read_oldest_ms"] = readMs;
        state.ResumeTiming();
    }
}
BENCHMARK(BM_AppendHundredVersions)
    ->ArgNames({"standalone_every", "level"})
    ->Args({32, 3})
    ->Args({16, 3})
    ->Args({8, 3})
    ->Args({32, 9})
    ->Args({32, 19})
    ->Iterations(1)
    ->Unit(benchmark::kSecond);

// One version packed standalone and as a delta against the next, and both
// unpacked. Argument: compression level.
void BM_CodecLevel(benchmark::State &state)
{
    SnapshotCodec codec(int(state.range(0)));
    const QByteArray older = versions()[0].toUtf8();
    const QByteArray newer = versions()[1].toUtf8();
    QByteArray standalone, delta;
    for (auto _ : state) {
        standalone = codec.pack(older, nullptr);
        delta = codec.pack(older, &newer);
    }
    QElapsedTimer timer;
    timer.start();
    const QByteArray unpacked = codec.unpack(standalone, nullptr);
    const double unpackStandaloneMs = double(timer.nsecsElapsed()) / 1e6;
    timer.restart();
    if (codec.unpack(delta, &newer) != older || unpacked != older)
        state.SkipWithError("round trip failed");
    state.counters["unpack_delta_ms"] = double(timer.nsecsElapsed()) / 1e6;
    state.counters["unpack_standalone_ms"] = unpackStandaloneMs;
    state.counters["standalone_KB"] = double(standalone.size()) / 1e3;
    state.counters["delta_KB"] = double(delta.size()) / 1e3;
    state.counters["raw_KB"] = double(older.size()) / 1e3;
}
BENCHMARK(BM_CodecLevel)->Arg(3)->Arg(9)->Arg(15)->Arg(19)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
