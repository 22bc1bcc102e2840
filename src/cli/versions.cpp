#include "cli/versions.h"
#include "cli/arguments.h"
#include "storage/historyschema.h"
#include "storage/websitedb.h"

namespace sentrel::cli {

UrlVersions::UrlVersions(QString url, std::vector<SnapshotRecord> history) : url_(std::move(url))
{
    readTimeZoneRules();
    for (const SnapshotRecord &r : history)
        count_ += r.kind == historyschema::SnapshotKind;
    int next = count_;
    entries_.reserve(history.size());
    for (SnapshotRecord &r : history) {
        std::optional<int> number;
        if (r.kind == historyschema::SnapshotKind)
            number = next--;
        QString local = localLastChange(r.taken);
        entries_.push_back({std::move(r), number, std::move(local)});
    }
}

const HistoryEntry &UrlVersions::version(int number) const
{
    for (const HistoryEntry &e : entries_)
        if (e.number == number)
            return e;
    const QString there = count_ == 0   ? QStringLiteral("it has none yet")
                          : count_ == 1 ? QStringLiteral("it has only 1")
                                        : QStringLiteral("it has 1 to %1").arg(count_);
    throw Error(QStringLiteral("No version %1 of %2; %3").arg(QString::number(number), url_, there));
}

std::optional<int> UrlVersions::lastTakenBefore(const QString &localTime) const
{
    // The fixed-width form compares as text in time order.
    for (const HistoryEntry &e : entries_)
        if (e.number && e.localTime < localTime)
            return e.number;
    return std::nullopt;
}

QString UrlVersions::label(int number) const
{
    return QStringLiteral("%1@%2 (%3)").arg(url_, QString::number(number), version(number).localTime);
}

int versionNumber(const QString &typed)
{
    bool ok = false;
    const int n = typed.toInt(&ok);
    if (!ok || n < 1)
        throw UsageError(QStringLiteral("a version is a whole number from 1 on, not \"%1\"").arg(typed));
    return n;
}

} // namespace sentrel::cli
