#pragma once
#include "check/checkstore.h"
#include "storage/websitedb.h"
#include <memory>

// The window's way to the website store. When the store could not be opened
// at start-up the window still opens, and every later store operation fails
// with an error the caller reports as for any failed statement, instead of
// reaching a store that is not there.
namespace sentrel {

class StoreAccess final : public UrlStore, public CheckStore {
public:
    StoreAccess() = default;
    ~StoreAccess() override;

    // Takes over an opened store.
    void attach(std::unique_ptr<WebsiteDb> db);
    bool isOpen() const { return db_ != nullptr; }
    WebsiteDb *db() const { return db_.get(); }

    // UrlStore
    std::vector<ListedWebsite> DbLoadWebsites() override;
    void DbAddUrl(const QString &url) override;
    void deleteUrl(const QString &url) override;
    std::optional<StoreRow> lookupRow(const QString &url) override;
    // CheckStore
    std::optional<StoredCheck> lookup(const QString &url) override;
    bool save(const QString &url, std::optional<qint64> rowId, const QString &content,
              const QString &status) override;

private:
    WebsiteDb &open() const;

    std::unique_ptr<WebsiteDb> db_;
    std::unique_ptr<WebsiteCheckStore> checks_;
};

} // namespace sentrel
