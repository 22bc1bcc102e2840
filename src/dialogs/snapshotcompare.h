#pragma once
#include "dialogs/diffrows.h"
#include "dialogs/historyrows.h"
#include <QString>
#include <memory>
#include <optional>
#include <vector>

// Reads the snapshots of a comparison from the store and turns their
// difference into what the diff view shows.
namespace sentrel {

class StoreAccess;
class TextDiffer;
class WebsiteDb;

// One comparison as the diff view shows it: a heading with the change's
// time and counts, and either the rows or a message in their place.
struct ChangeView {
    QString heading;
    QString message; // "No earlier version", a store error, ...; "" with rows
    std::vector<DiffRow> rows;
};

// "No earlier version": the text compared is the first one of its URL.
QString noEarlierVersionText();
// "No saved text yet": the URL has not been checked since it was added or
// its options were edited.
QString noSavedTextText();

class SnapshotComparer {
public:
    // `store` belongs to the window and outlives the comparer; it may be
    // closed (db() null) at any time.
    explicit SnapshotComparer(StoreAccess &store);
    ~SnapshotComparer();
    SnapshotComparer(const SnapshotComparer &) = delete;
    SnapshotComparer &operator=(const SnapshotComparer &) = delete;

    // The URL's history, newest first. Throws StoreError, also when the
    // store is not open.
    std::vector<SnapshotRecord> history(const QString &url);
    // The two texts' difference with their changed words marked; a store
    // error on the way becomes the view's message. An empty view without
    // a pair.
    ChangeView compare(const std::optional<SnapshotPair> &pair);
    // The URL's newest change (newestChange); an empty view when the store
    // is not open, and a message when the URL has no saved text yet.
    ChangeView newestChangeOf(const QString &url);

private:
    WebsiteDb &db();

    StoreAccess &store_;
    // Opened at the first comparison: opening the diff library costs more
    // than many a comparison, and a window that is never asked pays nothing.
    std::unique_ptr<TextDiffer> differ_;
};

} // namespace sentrel
