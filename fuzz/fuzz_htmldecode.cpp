// HtmlDecode over any text, with and without the unknown-name sink.
#include "fuzzinput.h"
#include "strip/htmldecode.h"
#include "text/error.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = sentrel::fuzz::textOf(sentrel::fuzz::bytesOf(data, size));
    try {
        qsizetype unknown = 0;
        const QString decoded =
            sentrel::HtmlDecode(text, [&](const QString &line) { unknown += line.size(); });
        // One pass that only ever shortens: a reference is never longer than its text.
        if (decoded.size() > text.size())
            __builtin_trap();
    } catch (const sentrel::Error &) {
        // An invalid numeric reference: the documented refusal.
    }
    return 0;
}
