#pragma once
#include "storage/websiterepository.h"
#include <chrono>
#include <functional>

// A run's saves sharing transactions, and so disk syncs.
namespace sentrel {

class WebsiteDb;

// How saves may share one transaction. Off by default: every save is
// durable when it returns, as the desktop program needs. A run of
// sentrel-cli that saves hundreds of first checks groups them; a save not
// yet committed when the process dies is simply made again by the next run
// (a first check again, or the change reported again), so no change goes
// unreported.
struct SaveGrouping {
    int maxSaves = 1;                    // 1: no grouping
    std::chrono::milliseconds maxAge{0}; // commit once the group is this old
};

// The store over a WebsiteDb whose saves are grouped as SaveGrouping says;
// every other operation goes straight to the database.
class GroupedSaves final : public WebsiteRepository {
public:
    explicit GroupedSaves(WebsiteDb &db, SaveGrouping grouping = {}) : db_(db), grouping_(grouping) {}
    // Commits what is pending; a failure cannot be reported from here, so
    // callers that group saves call commit() themselves first.
    ~GroupedSaves() override;
    GroupedSaves(const GroupedSaves &) = delete;
    GroupedSaves &operator=(const GroupedSaves &) = delete;

    std::vector<ListedWebsite> DbLoadWebsites() override;
    void DbAddUrl(const QString &url) override;
    void deleteUrl(const QString &url) override;
    // A pending group older than maxAge is committed first, so that the
    // store's write lock is never held for long while other programs wait.
    std::optional<WebsiteRecord> lookup(const QString &url) override;
    bool DbSaveWebsite(const QString &url, const QString &content, const QString &status,
                       std::optional<qint64> rowId = std::nullopt) override;
    int editUrl(const QString &targetUrl, const QString &newUrl, const WebsiteOptions &options) override;

    // Makes every grouped save durable. Throws StoreError.
    void commit();
    int pendingSaves() const { return pending_; }

    // Told after each commit of a group, wherever it happens (a lookup or a
    // save may commit one that is due): true when its saves are now durable,
    // false when they were undone. sentrel-cli prints a row only then.
    void setCommitListener(std::function<void(bool durable)> listener) { listener_ = std::move(listener); }

private:
    void commitIfDue();

    WebsiteDb &db_;
    SaveGrouping grouping_;
    bool open_ = false; // a group of ours is under way
    int pending_ = 0;
    std::chrono::steady_clock::time_point groupStart_{};
    std::function<void(bool)> listener_;
};

} // namespace sentrel
