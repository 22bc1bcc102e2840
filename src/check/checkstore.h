#pragma once
#include "check/reduction.h"
#include <QString>
#include <chrono>
#include <functional>
#include <optional>

// The website store as a check uses it: the URL's stored row, and the save
// of a changed text.
namespace sentrel {

class WebsiteDb;

// The parts of a URL's store record that a check reads (a NULL text reads
// as "").
struct StoredCheck {
    QString content; // the stored text of the last saved check
    QString status;  // "" until the URL's first save
    CheckOptions options;
    std::optional<qint64> rowId; // the row read, which the check's save updates
};

class CheckStore {
public:
    virtual ~CheckStore() = default;
    // nullopt when the store has no row for the URL. Throws StoreError.
    virtual std::optional<StoredCheck> lookup(const QString &url) = 0;
    // The row the check read (rowId from lookup; without one, the URL's
    // first row) gets the text, the status and the current time, as long as
    // it still holds `url`. Never inserts a row. Returns false when the row
    // is gone: deleted or renamed, here or by another program, while the
    // page was loading; the check then counts as one of a deleted row.
    // Throws StoreError.
    virtual bool save(const QString &url, std::optional<qint64> rowId, const QString &content,
                      const QString &status) = 0;
};

// How saves may share one transaction, and so one disk sync. Off by
// default: every save is durable when it returns, as the desktop program
// needs. A run of sentrel-cli that saves hundreds of first checks groups
// them; a save not yet committed when the process dies is simply made again
// by the next run (a first check again, or the change reported again), so
// no change goes unreported.
struct SaveGrouping {
    int maxSaves = 1;                    // 1: no grouping
    std::chrono::milliseconds maxAge{0}; // commit once the group is this old
};

// The real store.
class WebsiteCheckStore final : public CheckStore {
public:
    explicit WebsiteCheckStore(WebsiteDb &db, SaveGrouping grouping = {}) : db_(db), grouping_(grouping) {}
    // Commits what is pending; a failure cannot be reported from here, so
    // callers that group saves call commit() themselves first.
    ~WebsiteCheckStore() override;
    WebsiteCheckStore(const WebsiteCheckStore &) = delete;
    WebsiteCheckStore &operator=(const WebsiteCheckStore &) = delete;

    // A pending group older than maxAge is committed first, so that the
    // store's write lock is never held for long while other programs wait.
    std::optional<StoredCheck> lookup(const QString &url) override;
    bool save(const QString &url, std::optional<qint64> rowId, const QString &content,
              const QString &status) override;

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
