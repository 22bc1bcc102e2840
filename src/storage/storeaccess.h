#pragma once
#include "storage/groupedsaves.h"
#include "storage/websitedb.h"
#include <memory>

// The window's way to the website store. When the store could not be opened
// at start-up the window still opens, and every later store operation fails
// with an error the caller reports as for any failed statement, instead of
// reaching a store that is not there.
namespace sentrel {

class StoreAccess final : public WebsiteRepository {
public:
    StoreAccess() = default;
    ~StoreAccess() override;

    // Takes over an opened store.
    void attach(std::unique_ptr<WebsiteDb> db);
    bool isOpen() const { return db_ != nullptr; }
    WebsiteDb *db() const { return db_.get(); }

    std::vector<ListedWebsite> DbLoadWebsites() override;
    void DbAddUrl(const QString &url) override;
    void deleteUrl(const QString &url) override;
    std::optional<WebsiteRecord> lookup(const QString &url) override;
    // Each save is durable when it returns: the window may be closed, or the
    // machine switched off, at any moment after a check.
    bool DbSaveWebsite(const QString &url, const QString &content, const QString &status,
                       std::optional<qint64> rowId = std::nullopt) override;
    int editUrl(const QString &targetUrl, const QString &newUrl, const WebsiteOptions &options) override;

private:
    WebsiteRepository &open() const;

    std::unique_ptr<WebsiteDb> db_;
    std::unique_ptr<GroupedSaves> saves_;
};

} // namespace sentrel
