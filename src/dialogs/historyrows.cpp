#include "dialogs/historyrows.h"
#include "storage/historyschema.h"
#include "storage/websitedb.h"
#include <algorithm>

namespace sentrel {

namespace {

bool isSnapshot(const SnapshotRecord &record)
{
    return record.kind == historyschema::SnapshotKind;
}

QString lineCounts(const SnapshotRecord &record)
{
    if (!record.added && !record.removed)
        return {};
    return QStringLiteral("+%1 -%2").arg(record.added.value_or(0)).arg(record.removed.value_or(0));
}

// The snapshot before the one at `index`, looking no further back than the
// nearest reset marker.
std::optional<SnapshotRecord> snapshotBefore(const std::vector<SnapshotRecord> &history, std::size_t index)
{
    const std::size_t older = index + 1;
    if (older < history.size() && isSnapshot(history[older]))
        return history[older];
    return std::nullopt;
}

} // namespace

QString optionsEditedText()
{
    return QStringLiteral("Options edited");
}

std::vector<HistoryRow> historyRows(const std::vector<SnapshotRecord> &history)
{
    readTimeZoneRules();
    std::vector<HistoryRow> rows;
    rows.reserve(history.size());
    for (const SnapshotRecord &record : history) {
        const bool marker = !isSnapshot(record);
        rows.push_back({record.id, marker, localLastChange(record.taken),
                        marker ? optionsEditedText() : record.status,
                        marker ? QString() : lineCounts(record)});
    }
    return rows;
}

std::optional<SnapshotPair> pairToCompare(const std::vector<SnapshotRecord> &history,
                                          const QList<int> &selectedRows)
{
    // Newest first, so the smallest index is the newest snapshot.
    std::vector<std::size_t> snapshots;
    for (const int row : selectedRows)
        if (row >= 0 && std::size_t(row) < history.size() && isSnapshot(history[std::size_t(row)]))
            snapshots.push_back(std::size_t(row));
    if (snapshots.empty())
        return std::nullopt;
    const auto [newest, oldest] = std::minmax_element(snapshots.begin(), snapshots.end());
    if (*newest == *oldest)
        return SnapshotPair{snapshotBefore(history, *newest), history[*newest]};
    return SnapshotPair{history[*oldest], history[*newest]};
}

std::optional<SnapshotPair> newestChange(const std::vector<SnapshotRecord> &history)
{
    const auto newest = std::find_if(history.begin(), history.end(), isSnapshot);
    if (newest == history.end())
        return std::nullopt;
    return pairToCompare(history, {int(newest - history.begin())});
}

} // namespace sentrel
