// The reduction steps of a check on fuzzed text and fuzzed options. The
// first lines of the input are the options:
//   1: method digit (0 browser, 1 regex, 2 string builder) and "NO" to skip stripping
//   2: line start, 3: line stop, 4: keyword, 5: regular expression,
//   6: exclusions separated by '|'
// and the rest is the page. The XPath step has its own target.
#include "check/reduction.h"
#include "fuzzinput.h"
#include "text/error.h"

using namespace sentrel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QByteArrayView rest = fuzz::bytesOf(data, size);
    const QByteArrayView head = fuzz::takeLine(rest);
    const StripMethod method = head.isEmpty()   ? StripMethod::StringBuilder
                               : head[0] == '0' ? StripMethod::Browser
                               : head[0] == '1' ? StripMethod::Regex
                                                : StripMethod::StringBuilder;
    // The option columns as a store could hold them, read as the check reads them.
    StoredOptionTexts stored;
    stored.strip = head.contains("NO") ? QStringLiteral("NO") : QString();
    stored.lineStart = fuzz::textOf(fuzz::takeLine(rest));
    stored.lineStop = fuzz::textOf(fuzz::takeLine(rest));
    stored.keyword = fuzz::textOf(fuzz::takeLine(rest));
    stored.regex = fuzz::textOf(fuzz::takeLine(rest));
    const CheckOptions options = optionsFromStored(stored);
    const QStringList exclusions = fuzz::textOf(fuzz::takeLine(rest)).split(u'|');
    const QString page = fuzz::textOf(rest);

    // Each step alone on the raw text, then the whole chain.
    (void)lineBound(*stored.lineStart);
    (void)keepLineRange(page, lineBoundAsChecked(options.lineStart), lineBoundAsChecked(options.lineStop));
    (void)keepKeywordLines(page, *stored.keyword);
    (void)dropExcludedLines(page, exclusions);
    try {
        (void)keepRegexMatches(page, *stored.regex);
    } catch (const Error &) {
        // A pattern that does not compile or runs away: the documented refusal.
    }
    try {
        (void)reducePage(page, options, method, exclusions);
    } catch (const Error &) {
    }
    return 0;
}
