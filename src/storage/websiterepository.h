#pragma once
#include "storage/websiterecord.h"
#include <QString>
#include <optional>
#include <vector>

// The website store as the rest of the program sees it: one interface for
// the URL list, the check engine, the options dialog and sentrel-cli, so a
// feature that stores something more per URL changes one place. WebsiteDb
// is the real one; GroupedSaves and the window's StoreAccess wrap it; the
// tests use fakes in memory. Every operation throws StoreError when its
// statement fails.
namespace sentrel {

// One row as the URL list shows it at start-up.
struct ListedWebsite {
    QString url;
    QString lastChange; // local time "yyyy-mm-dd hh:nn:ss", or "" when never saved
    QString status;     // the stored STATUS ("" when NULL): not shown by the desktop list
};

class WebsiteRepository {
public:
    virtual ~WebsiteRepository() = default;

    // Every row in insertion order.
    virtual std::vector<ListedWebsite> DbLoadWebsites() = 0;
    virtual void DbAddUrl(const QString &url) = 0;
    // Removes every row of the URL.
    virtual void deleteUrl(const QString &url) = 0;
    // The URL's first row; nothing when the store has none.
    virtual std::optional<WebsiteRecord> lookup(const QString &url) = 0;

    // Replaces the content and status of one row and stamps it with the
    // current UTC time: the row `rowId` (the one a check read) as long as it
    // still holds `url`, or without an ID the URL's first row. Never
    // inserts: only adding a URL makes a row, so a check that ends after its
    // row was deleted or renamed, here or by another program, cannot bring
    // the row back. Returns false when no row was updated.
    virtual bool DbSaveWebsite(const QString &url, const QString &content, const QString &status,
                               std::optional<qint64> rowId = std::nullopt) = 0;

    // The options dialog's OK and `sentrel-cli set`: every row of targetUrl
    // gets newUrl and the options, and loses its stored text, its last
    // change and its status. Throws Error "Already in the list: URL" and
    // changes nothing when another row holds newUrl. Returns the number of
    // rows changed.
    virtual int editUrl(const QString &targetUrl, const QString &newUrl, const WebsiteOptions &options) = 0;
};

} // namespace sentrel
