// The response decoding of the fetcher fed raw header lines and a body, as
// a server could send them: "Name: value" lines up to the first empty line
// (the first line is the status line), then the body bytes. Exercises the
// content decodings, the character-set choice and the line splitting.
#include "fetch/responsedecoder.h"
#include "fuzzinput.h"
#include "text/error.h"

using namespace sentrel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QByteArrayView rest = fuzz::bytesOf(data, size);
    ResponseHead head;
    head.statusLine = fuzz::takeLine(rest).toByteArray();
    while (!rest.isEmpty()) {
        QByteArrayView line = fuzz::takeLine(rest);
        if (line.endsWith('\r'))
            line.chop(1);
        if (line.isEmpty())
            break;
        const qsizetype colon = line.indexOf(':');
        if (colon < 0)
            head.headers.append({line.toByteArray(), QByteArray()});
        else
            head.headers.append(
                {line.first(colon).toByteArray(), line.sliced(colon + 1).trimmed().toByteArray()});
    }
    try {
        // A small ceiling: a compression bomb must stop at it, not at the fuzzer's memory limit.
        (void)decodeResponse(head, rest.toByteArray(), qsizetype(4) * 1024 * 1024);
    } catch (const Error &) {
        // An unreadable compressed body, one cut short, or one past the ceiling.
    }
    return 0;
}
