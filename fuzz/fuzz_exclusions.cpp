// The exclusion list reader: any bytes as exclusions.txt, read at start-up,
// then the editor's text of the list read back into the same entries.
#include "fuzzfolder.h"
#include "fuzzinput.h"
#include "storage/exclusions.h"
#include "text/error.h"

using namespace sentrel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const fuzz::FuzzFolder &folder = fuzz::fuzzFolder();
    folder.put(QString::fromUtf16(ExclusionsFileName), fuzz::bytesOf(data, size));
    try {
        const QStringList list = loadExclusions(folder.path());
        if (list.isEmpty())
            __builtin_trap(); // the defaults stand in for an empty list
        (void)exclusionEditorText(list);
    } catch (const Error &) {
        // A file that cannot be read: the documented refusal.
    }
    return 0;
}
