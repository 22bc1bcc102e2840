#include "dialogs/snapshotcompare.h"
#include "diff/textdiff.h"
#include "storage/storeaccess.h"
#include "storage/storeerror.h"
#include "storage/websitedb.h"

namespace sentrel {

namespace {

QString countsText(const TextDiff &diff)
{
    return QStringLiteral("+%1 -%2 lines").arg(diff.added).arg(diff.removed);
}

} // namespace

QString noEarlierVersionText()
{
    return QStringLiteral("No earlier version");
}

QString noSavedTextText()
{
    return QStringLiteral("No saved text yet");
}

SnapshotComparer::SnapshotComparer(StoreAccess &store) : store_(store) {}

SnapshotComparer::~SnapshotComparer() = default;

WebsiteDb &SnapshotComparer::db()
{
    if (WebsiteDb *db = store_.db())
        return *db;
    throw StoreError(QStringLiteral("The website store is not open."), 21 /* SQLITE_MISUSE */);
}

std::vector<SnapshotRecord> SnapshotComparer::history(const QString &url)
{
    return db().history(url);
}

ChangeView SnapshotComparer::compare(const std::optional<SnapshotPair> &pair)
{
    if (!pair)
        return {};
    readTimeZoneRules();
    const QString newerTime = localLastChange(pair->newer.taken);
    ChangeView view;
    if (!pair->older) {
        view.heading = QStringLiteral("Saved %1").arg(newerTime);
        view.message = noEarlierVersionText();
        return view;
    }
    const QString olderTime = localLastChange(pair->older->taken);
    try {
        const QString older = db().snapshotText(pair->older->id);
        const QString newer = db().snapshotText(pair->newer.id);
        if (!differ_)
            differ_ = std::make_unique<TextDiffer>();
        const TextDiff diff = differ_->diff(older, newer, DiffOptions{3, true});
        view.heading =
            QStringLiteral("Changed %1 (since %2): %3").arg(newerTime, olderTime, countsText(diff));
        if (diff.empty())
            view.message = QStringLiteral("The two versions have the same text.");
        view.rows = diffRows(diff);
    } catch (const Error &error) {
        view.heading = QStringLiteral("Changed %1 (since %2)").arg(newerTime, olderTime);
        view.message = storeErrorText(error);
    }
    return view;
}

ChangeView SnapshotComparer::newestChangeOf(const QString &url)
{
    if (!store_.isOpen())
        return {};
    std::vector<SnapshotRecord> records;
    try {
        records = history(url);
    } catch (const Error &error) {
        return {QString(), storeErrorText(error), {}};
    }
    const std::optional<SnapshotPair> pair = newestChange(records);
    if (!pair)
        return {QString(), noSavedTextText(), {}};
    return compare(pair);
}

} // namespace sentrel
