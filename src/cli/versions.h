#pragma once
#include "storage/snapshothistory.h"
#include <QString>
#include <optional>
#include <vector>

// The saved versions of a URL as sentrel-cli numbers them: 1 is the oldest
// snapshot the store still keeps, counting snapshots only, so a number stays
// the same as newer versions come (until retention drops the oldest ones).
// A reset marker (the URL's options were edited) gets no number.
namespace sentrel::cli {

struct HistoryEntry {
    SnapshotRecord record;
    std::optional<int> number; // none for a reset marker
    QString localTime;         // "yyyy-MM-dd HH:mm:ss" in local time
};

class UrlVersions {
public:
    // `history` newest first, as WebsiteDb::history gives it. Reads the
    // system's time-zone rules for the local times.
    UrlVersions(QString url, std::vector<SnapshotRecord> history);

    const QString &url() const { return url_; }
    const std::vector<HistoryEntry> &entries() const { return entries_; } // newest first
    int count() const { return count_; }                                  // snapshots only

    // The version with that number; throws sentrel::Error naming the versions
    // there are when it has none such.
    const HistoryEntry &version(int number) const;
    // The newest version taken before `localTime` ("yyyy-MM-dd HH:mm:ss");
    // nullopt when every version is as new or newer.
    std::optional<int> lastTakenBefore(const QString &localTime) const;

    // "URL@N (local time)", the name of a version in a diff's header.
    QString label(int number) const;

private:
    QString url_;
    std::vector<HistoryEntry> entries_;
    int count_ = 0;
};

// A version number as typed on the command line; throws UsageError when it
// is not a whole number of at least 1.
int versionNumber(const QString &typed);

} // namespace sentrel::cli
