// The URL list reader (Load List): any bytes as a list file, every line
// through the add path into the list model and a store held in memory.
#include "fuzzfolder.h"
#include "fuzzinput.h"
#include "storage/storeerror.h"
#include "storage/websitedb.h"
#include "text/error.h"
#include "uimodel/urllistcommands.h"
#include <vector>

using namespace sentrel;

namespace {
class MemoryStore : public WebsiteRepository {
public:
    std::vector<ListedWebsite> DbLoadWebsites() override { return {}; }
    void DbAddUrl(const QString &url) override { urls.push_back(url); }
    void deleteUrl(const QString &) override {}
    std::optional<WebsiteRecord> lookup(const QString &) override { return std::nullopt; }
    // Loading a list never saves a check or edits options.
    bool DbSaveWebsite(const QString &, const QString &, const QString &, std::optional<qint64>) override
    {
        __builtin_trap();
    }
    int editUrl(const QString &, const QString &, const WebsiteOptions &) override { __builtin_trap(); }
    std::vector<QString> urls;
};

class IgnoredErrors : public StoreErrorSink {
public:
    void showStoreError(const QString &) override {}
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const fuzz::FuzzFolder &folder = fuzz::fuzzFolder();
    const QString file = folder.put(QStringLiteral("list.txt"), fuzz::bytesOf(data, size));
    UrlListModel list;
    MemoryStore store;
    IgnoredErrors errors;
    try {
        const int added = LoadList(file, list, store, errors);
        if (added != list.count() || store.urls.size() != size_t(list.count()))
            __builtin_trap();
        // Every other row selected, as a user's scattered selection.
        QList<RowId> selection;
        for (int row = 0; row < list.count(); row += 2)
            selection.append(list.idAt(row));
        (void)clipboardText(list, selection);
        (void)listFileText(list);
        deleteRows(list, selection, store, errors);
        for (const RowId id : selection)
            if (list.contains(id))
                __builtin_trap();
    } catch (const Error &) {
    }
    return 0;
}
