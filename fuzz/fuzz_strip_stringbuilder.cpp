// StripWithStringBuilder over any page text.
#include "fuzzinput.h"
#include "strip/strippers.h"
#include "text/error.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString page = sentrel::fuzz::textOf(sentrel::fuzz::bytesOf(data, size));
    try {
        (void)sentrel::StripWithStringBuilder(page);
    } catch (const sentrel::Error &) {
        // HtmlDecode's refusal of an invalid numeric reference.
    }
    return 0;
}
