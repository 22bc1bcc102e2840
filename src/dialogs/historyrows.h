#pragma once
#include "storage/snapshothistory.h"
#include <QList>
#include <QString>
#include <optional>
#include <vector>

// What the history dialog lists and which two snapshots it compares, worked
// out from a URL's history (newest first, as WebsiteDb::history gives it)
// without any widget, so that the choices can be tested on their own.
namespace sentrel {

// One line of the history list.
struct HistoryRow {
    qint64 id = 0;
    bool marker = false; // an options edit rather than a saved text
    QString time;        // local "yyyy-mm-dd hh:nn:ss"
    QString status;      // the check's status; "Options edited" for a marker
    QString lines;       // "+3 -1"; "" when the counts are not known
};

// The list's lines in the history's order. Reads the system's time-zone
// rules first, so that every time is shown for the zone in force now.
std::vector<HistoryRow> historyRows(const std::vector<SnapshotRecord> &history);

// "Options edited": how a reset marker is listed.
QString optionsEditedText();

// Two snapshots to compare; without `older` the newer one is the first text
// there is to compare with (shown as "No earlier version").
struct SnapshotPair {
    std::optional<SnapshotRecord> older;
    SnapshotRecord newer;
};

// The pair a selection of the list asks for, from the rows' indices in
// `history`. One snapshot: it against the snapshot before it, unless the
// options were edited in between (the texts were then reduced by different
// rules, and their difference says nothing about the page). Two or more:
// the oldest selected against the newest selected, whatever lies between.
// Selected reset markers are passed over; nullopt when no snapshot is left.
std::optional<SnapshotPair> pairToCompare(const std::vector<SnapshotRecord> &history,
                                          const QList<int> &selectedRows);

// The newest change of a URL: its newest snapshot against the one before,
// as pairToCompare picks for that snapshot alone; nullopt without snapshots.
std::optional<SnapshotPair> newestChange(const std::vector<SnapshotRecord> &history);

} // namespace sentrel
