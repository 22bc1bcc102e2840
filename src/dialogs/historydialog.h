#pragma once
#include "dialogs/snapshotcompare.h"
#include "uimodel/urllistmodel.h"
#include <QDialog>
#include <QList>
#include <functional>
#include <vector>

class QLabel;
class QPushButton;
class QTreeWidget;

namespace sentrel {

class DiffView;
class StoreAccess;
class StoreErrorSink;

// What the history dialog is opened on; all of it belongs to the main
// window and outlives the dialog.
struct HistoryContext {
    UrlListModel &list;
    std::function<QList<RowId>()> selection; // the selected rows, any order
    StoreAccess &store;                      // may be closed (db() null)
    StoreErrorSink &errors;                  // where a failed history read is reported
};

// The saved versions of one URL, newest first, with their local times and
// line counts, and options edits listed as "Options edited". Selecting one
// version shows its change against the one before; selecting two (Ctrl+click)
// compares them. Modeless, like the options dialog; Escape closes it.
class HistoryDialog final : public QDialog {
    Q_OBJECT
public:
    // `history` as SnapshotComparer::history read it for `url`.
    HistoryDialog(StoreAccess &store, const QString &url, std::vector<SnapshotRecord> history,
                  QWidget *parent = nullptr);
    ~HistoryDialog() override;

    const QString &url() const { return url_; }
    QTreeWidget *versions() const { return versions_; }
    DiffView *diffView() const { return diff_; }
    QPushButton *closeButton() const { return close_; }

    enum Column { TimeColumn, StatusColumn, LinesColumn };

private:
    void showSelectedChange();

    SnapshotComparer comparer_;
    QString url_;
    std::vector<SnapshotRecord> history_;
    QTreeWidget *versions_;
    DiffView *diff_;
    QLabel *hint_;
    QPushButton *close_;
};

// Opens the history of the row's URL, shown modeless; the dialog deletes
// itself when closed. A failed read of the history (a store that is not
// open among them) is reported to `errors` and opens nothing.
HistoryDialog *openHistory(const HistoryContext &context, RowId row, QWidget *parent);

// "History...": openHistory on the first selected row in list order; null
// when no row is selected.
HistoryDialog *History1Click(const HistoryContext &context, QWidget *parent);

// A double-click on a row: its history, but only for a row whose last check
// found a change ("Changed!"); null otherwise.
HistoryDialog *openHistoryOfChangedRow(const HistoryContext &context, RowId row, QWidget *parent);

} // namespace sentrel
