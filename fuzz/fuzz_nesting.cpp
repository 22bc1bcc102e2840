// The nesting limit in front of the browser method, with a small limit so
// that the dropping paths run all the time: never a crash, and what it hands
// on is itself within the limit (so the parse that follows stays linear).
#include "fuzzinput.h"
#include "strip/nestinglimit.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray page = sentrel::fuzz::bytesOf(data, size).toByteArray();
    const int maxDepth = size > 0 ? 1 + data[0] % 8 : 1;
    const QByteArray limited = sentrel::limitNesting(page, maxDepth);
    if (sentrel::limitNesting(limited, maxDepth) != limited)
        __builtin_trap();
    return 0;
}
