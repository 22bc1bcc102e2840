// The line and word diff on two fuzzed texts. The first line of the input is
// the options (a digit for the context lines, 'W' to mark words); the rest is
// the older text, a 0xFF byte (never part of UTF-8), then the newer text.
// Beyond crashes, the diff must rebuild the newer text from the older one
// and mark only spans inside changed lines.
#include "diff/rebuildnewer.h"
#include "diff/textdiff.h"
#include "diff/unifieddiff.h"
#include "fuzzinput.h"
#include <cstdlib>

using namespace sentrel;

namespace {

void require(bool holds)
{
    if (!holds)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QByteArrayView rest = fuzz::bytesOf(data, size);
    const QByteArrayView head = fuzz::takeLine(rest);
    DiffOptions options;
    options.contextLines = !head.isEmpty() && head[0] >= '0' && head[0] <= '9' ? head[0] - '0' : 3;
    options.words = head.contains('W');
    const qsizetype split = rest.indexOf('\xff');
    const QString older = fuzz::textOf(split < 0 ? rest : rest.first(split));
    const QString newer = fuzz::textOf(split < 0 ? QByteArrayView() : rest.sliced(split + 1));

    // Opening libgit2 costs milliseconds; held for the whole run, each
    // differ below only counts one more user.
    static const LibGit2Session keepOpen;
    const TextDiffer differ;
    const TextDiff diff = differ.diff(older, newer, options);
    try {
        require(difftest::rebuildNewer(older, diff) == newer);
    } catch (const std::logic_error &) {
        std::abort();
    }
    require(diff.empty() == (older == newer));
    const LineCounts counts = differ.countChangedLines(older, newer);
    require(counts.added == diff.added && counts.removed == diff.removed);
    for (const DiffHunk &hunk : diff.hunks) {
        for (const DiffLine &line : hunk.lines) {
            int after = 0;
            for (const WordSpan &span : line.changedWords) {
                require(line.kind != DiffLine::Kind::Context && span.start >= after && span.length > 0 &&
                        span.start + span.length <= line.text.size());
                after = span.start + span.length + 1;
            }
        }
    }
    require(unifiedDiff(diff, u"a", u"b").isEmpty() == diff.empty());
    (void)unifiedDiff(diff, u"a", u"b", UnifiedStyle{true, true});
    return 0;
}
