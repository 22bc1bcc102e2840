// The URL list reader (Load List): any bytes as a list file, every line
// through the add path into rows and a store held in memory.
#include "fuzzfolder.h"
#include "fuzzinput.h"
#include "storage/storeerror.h"
#include "storage/urllist.h"
#include "storage/websitedb.h"
#include "text/error.h"
#include <vector>

using namespace sentrel;

namespace {
class MemoryRows : public UrlRows {
public:
    int rowCount() const override { return int(captions.size()); }
    QString caption(int row) const override { return captions[std::size_t(row)]; }
    bool isSelected(int row) const override { return row % 2 == 0; }
    void appendRow(const QString &url, const QString &, const QString &) override { captions.push_back(url); }
    void removeRow(int row) override { captions.erase(captions.begin() + row); }
    std::vector<QString> captions;
};

class MemoryStore : public UrlStore {
public:
    std::vector<ListedWebsite> DbLoadWebsites() override { return {}; }
    void DbAddUrl(const QString &url) override { urls.push_back(url); }
    void deleteUrl(const QString &) override {}
    std::optional<StoreRow> lookupRow(const QString &) override { return std::nullopt; }
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
    MemoryRows rows;
    MemoryStore store;
    IgnoredErrors errors;
    try {
        const int added = LoadList(file, rows, store, errors);
        if (added != rows.rowCount() || store.urls.size() != rows.captions.size())
            __builtin_trap();
        (void)clipboardText(rows);
        (void)listFileText(rows);
        deleteSelectedRows(rows, store, errors);
    } catch (const Error &) {
    }
    return 0;
}
