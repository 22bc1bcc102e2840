// ExtractXPathText with both inputs fuzzed: the first line is the
// expression, the rest the page. Every print mode, errors reported.
#include "fuzzinput.h"
#include "html/extract.h"

using namespace sentrel;

namespace {
class CountingSink : public MessageSink {
public:
    void showError(const QString &title, const QString &text) override
    {
        shown += title.size() + text.size();
    }
    qsizetype shown = 0;
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QByteArrayView rest = fuzz::bytesOf(data, size);
    const QString expression = fuzz::textOf(fuzz::takeLine(rest));
    const QString page = fuzz::textOf(rest);
    const int mode = expression.size() % 3;
    CountingSink sink;
    (void)ExtractXPathText(page, expression, mode, true, &sink);
    return 0;
}
