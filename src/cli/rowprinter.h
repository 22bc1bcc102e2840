#pragma once
#include <QString>
#include <deque>
#include <functional>
#include <iosfwd>

namespace sentrel::cli {

// What a run of `sentrel-cli check` has done, for its last line on stderr.
struct CheckTally {
    int checked = 0;
    int changed = 0;
    int errors = 0; // rows whose check failed (download, reduction or store)
};

// "N checked, N changed, N errors"
QString tallyText(const CheckTally &tally);

// The "STATUS<TAB>URL" lines of a check run. A row's line is printed only
// once what its check saved is durable, so that a change printed is never
// reported again by the next run, even when this one is stopped or killed
// right after; the rows keep their list order. A row whose save was lost is
// printed on stderr as not saved instead (the next run reports it again).
// Output that can no longer be written (a closed pipe) is given up quietly.
class RowPrinter {
public:
    RowPrinter(std::ostream &out, std::ostream &err) : out_(out), err_(err) {}

    // A row's check has finished with this status. `pendingSaves` is the
    // number of the store's saves still waiting for a commit, and
    // `storeErrors` the number of store errors reported so far in the run.
    void rowDone(const QString &status, const QString &url, int pendingSaves, int storeErrors);
    // The store committed its group of saves (or, `durable` false, undid it).
    void committed(bool durable);
    // Called with the URL right after a changed row's line is printed, when
    // its saved text is durable and can be read back (check --diff).
    void setChangeFollower(std::function<void(const QString &url)> follower)
    {
        changeFollower_ = std::move(follower);
    }

    const CheckTally &tally() const { return tally_; }
    int waiting() const { return int(waiting_.size()); }

private:
    struct Row {
        QString status;
        QString url;
        bool saveWaiting; // a save of this row waits for the next commit
        bool saveFailed;  // a store error came during the row's check
    };
    void release(bool durable);

    std::ostream &out_;
    std::ostream &err_;
    std::deque<Row> waiting_;
    int pendingAfterLastRow_ = 0;
    int storeErrorsSeen_ = 0;
    CheckTally tally_;
    std::function<void(const QString &)> changeFollower_;
};

} // namespace sentrel::cli
