// The settings file reader: any bytes as settings.ini, read at start-up,
// then the values the program reads and one change written back in memory.
// The INI text it would write must read back to the same text.
#include "fuzzfolder.h"
#include "fuzzinput.h"
#include "storage/inifile.h"
#include "storage/settings.h"
#include "text/error.h"
#include "text/textdecode.h"

using namespace sentrel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes = fuzz::bytesOf(data, size);
    const fuzz::FuzzFolder &folder = fuzz::fuzzFolder();
    folder.put(QString::fromUtf16(SettingsFileName), bytes);
    SettingsFile settings = SettingsFile::open(folder.path());
    (void)settings.readString(SettingsSection, u"Language", QString());
    (void)settings.readInteger(SettingsSection, u"Interval", 5);
    settings.setInteger(SettingsSection, u"Interval", 7);
    if (settings.readInteger(SettingsSection, u"Interval", 0) != 7)
        __builtin_trap();

    IniDocument document = IniDocument::parse(decodeText(bytes).text);
    const QString text = document.toText();
    if (IniDocument::parse(text).toText() != text)
        __builtin_trap();
    try {
        document.setValue(u"Settings", u"Fuzz", QStringLiteral("value"));
    } catch (const Error &) {
    }
    return 0;
}
