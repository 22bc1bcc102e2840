// The line diff on two 5 MB texts of about 60-character lines: once with 1 %
// of the lines changed (a page that moved on a little) and once with every
// line changed (the worst case for hunk building and word marking). The same
// files are compared by `diff -u` and `git diff --no-index` as child
// processes in the same run, so one report sets the in-process figures
// against the tools people know.
#include "diff/textdiff.h"
#include "diff/unifieddiff.h"
#include "diff/worddiff.h"
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <array>
#include <benchmark/benchmark.h>
#include <cstdint>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <vector>

using namespace sentrel;

extern char **environ;

namespace {

constexpr qsizetype kTextSize = 5 * 1024 * 1024;

class LineGenerator {
public:
    explicit LineGenerator(uint64_t seed) : state_(seed) {}

    uint32_t next()
    {
        // xorshift64*: the same texts on every platform and standard library.
        state_ ^= state_ >> 12;
        state_ ^= state_ << 25;
        state_ ^= state_ >> 27;
        return uint32_t((state_ * 0x2545F4914F6CDD1DULL) >> 32);
    }

    QString word()
    {
        static constexpr std::array<const char16_t *, 24> kWords = {
            u"the",   u"market", u"report", u"shows",   u"prices", u"rose",   u"again", u"in",
            u"while", u"supply", u"stayed", u"tight",   u"demand", u"for",    u"new",   u"goods",
            u"kept",  u"rising", u"across", u"regions", u"Größe",  u"Straße", u"42",    u"2024",
        };
        return QString::fromUtf16(kWords[next() % kWords.size()]);
    }

    // About 60 characters of words, numbered so that lines rarely repeat.
    QString line(int number)
    {
        QString text = QString::number(number);
        while (text.size() < 56)
            text += u' ' + word();
        return text;
    }

private:
    uint64_t state_;
};

struct TextPair {
    QString older;
    QString newer;
};

// `changedPercent` of the lines get a word inserted; a few of the changes
// are deleted lines or a new line before the changed one instead. With
// `keptEvery` set, every keptEvery-th line stays as it was whatever the
// percentage: the changes then come as runs of changed lines that are short
// enough to be compared word by word.
TextPair makePair(int changedPercent, int keptEvery = 0)
{
    LineGenerator generator(0x5eed);
    TextPair pair;
    pair.older.reserve(kTextSize + 128);
    pair.newer.reserve(kTextSize * 11 / 10);
    for (int number = 0; pair.older.size() < kTextSize; ++number) {
        const QString line = generator.line(number) + u'\n';
        pair.older += line;
        const bool kept = keptEvery > 0 && number % keptEvery == 0;
        if (kept || int(generator.next() % 100) >= changedPercent) {
            pair.newer += line;
            continue;
        }
        const uint32_t kind = generator.next() % 8;
        if (kind == 0)
            continue; // deleted
        if (kind == 1)
            pair.newer += generator.line(-number) + u'\n';
        QString changed = line;
        const qsizetype at = changed.indexOf(u' ', 10);
        changed.insert(at + 1, generator.word() + u'!');
        pair.newer += changed;
    }
    return pair;
}

void writeFile(const QString &path, const QString &text)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text.toUtf8()) < 0)
        throw std::runtime_error("cannot write the benchmark texts");
}

// The two texts of each case, in memory and in a temporary folder.
struct Fixture {
    QTemporaryDir dir;
    std::array<TextPair, 3> pairs{makePair(1), makePair(100), makePair(100, kWordDiffMaxRunLines)};

    Fixture()
    {
        for (std::size_t i = 0; i < pairs.size(); ++i) {
            writeFile(olderPath(i), pairs[i].older);
            writeFile(newerPath(i), pairs[i].newer);
        }
    }
    QString olderPath(std::size_t i) const { return dir.filePath(QStringLiteral("older%1.txt").arg(i)); }
    QString newerPath(std::size_t i) const { return dir.filePath(QStringLiteral("newer%1.txt").arg(i)); }
};

const Fixture &fixture()
{
    static const Fixture texts;
    return texts;
}

const TextPair &pairFor(const benchmark::State &state)
{
    return fixture().pairs[std::size_t(state.range(0))];
}

void setCounters(benchmark::State &state, const TextDiff &diff)
{
    const TextPair &pair = pairFor(state);
    state.SetBytesProcessed(int64_t(state.iterations()) * (pair.older.size() + pair.newer.size()));
    state.counters["added"] = diff.added;
    state.counters["removed"] = diff.removed;
}

void BM_DiffTexts(benchmark::State &state)
{
    const TextPair &pair = pairFor(state);
    const TextDiffer differ;
    TextDiff diff;
    for (auto _ : state) {
        diff = differ.diff(pair.older, pair.newer, DiffOptions{3, state.range(1) != 0});
        benchmark::DoNotOptimize(diff.hunks.data());
    }
    setCounters(state, diff);
}

void BM_DiffTextsUnified(benchmark::State &state)
{
    const TextPair &pair = pairFor(state);
    const TextDiffer differ;
    TextDiff diff;
    qsizetype size = 0;
    for (auto _ : state) {
        diff = differ.diff(pair.older, pair.newer);
        const QString unified = unifiedDiff(diff, u"older", u"newer");
        size = unified.size();
        benchmark::DoNotOptimize(unified.constData());
    }
    setCounters(state, diff);
    state.counters["unified_chars"] = double(size);
}

void BM_CountChangedLines(benchmark::State &state)
{
    const TextPair &pair = pairFor(state);
    const TextDiffer differ;
    LineCounts counts;
    for (auto _ : state) {
        counts = differ.countChangedLines(pair.older, pair.newer);
        benchmark::DoNotOptimize(counts);
    }
    state.counters["added"] = counts.added;
    state.counters["removed"] = counts.removed;
}

// Runs a program with its output thrown away and waits for it; diff and git
// exit with 1 when the files differ, which is what is measured here.
int runQuietly(std::vector<std::string> arguments)
{
    std::vector<char *> argv;
    for (std::string &argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t child = 0;
    const int spawned = posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return -1;
    int status = 0;
    if (waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

void runTool(benchmark::State &state, std::vector<std::string> command)
{
    const std::size_t i = std::size_t(state.range(0));
    command.push_back(fixture().olderPath(i).toStdString());
    command.push_back(fixture().newerPath(i).toStdString());
    for (auto _ : state) {
        if (runQuietly(command) != 1) {
            state.SkipWithError("the tool did not report a difference");
            break;
        }
    }
    const TextPair &pair = pairFor(state);
    state.SetBytesProcessed(int64_t(state.iterations()) * (pair.older.size() + pair.newer.size()));
}

void BM_ToolDiffU(benchmark::State &state)
{
    runTool(state, {"diff", "-u"});
}

void BM_ToolGitDiffNoIndex(benchmark::State &state)
{
    runTool(state, {"git", "diff", "--no-index", "--no-color", "--no-ext-diff"});
}

// Argument "texts": 0 = 1 % of the lines changed, 1 = every line changed (one run
// of changes, too long to compare word by word), 2 = every line changed but
// one in kWordDiffMaxRunLines (each run is compared word by word: the worst
// case of the word marking). Argument "words"
// of BM_DiffTexts: 1 = with the changed
// words marked.
BENCHMARK(BM_DiffTexts)
    ->ArgNames({"texts", "words"})
    ->ArgsProduct({{0, 1, 2}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_DiffTextsUnified)
    ->ArgName("texts")
    ->DenseRange(0, 2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_CountChangedLines)
    ->ArgName("texts")
    ->DenseRange(0, 2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_ToolDiffU)->ArgName("texts")->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ToolGitDiffNoIndex)
    ->ArgName("texts")
    ->DenseRange(0, 2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace

BENCHMARK_MAIN();
