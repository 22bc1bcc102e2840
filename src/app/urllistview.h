#pragma once
#include "uimodel/urllistmodel.h"
#include <QList>
#include <QTableView>

// The URL list: a report view with grid lines, whole-row and multiple
// selection, read-only cells and the model's columns "URL", "Last Change"
// and "Status". The rows live in the model; the view only shows them and
// says which are selected.
namespace sentrel {

class UrlListView final : public QTableView {
    Q_OBJECT
public:
    enum Column {
        UrlColumn = UrlListModel::UrlColumn,
        LastChangeColumn = UrlListModel::LastChangeColumn,
        StatusColumn = UrlListModel::StatusColumn,
    };

    explicit UrlListView(UrlListModel &list, QWidget *parent = nullptr);

    UrlListModel &list() const { return list_; }
    // The selected rows, in list order.
    QList<RowId> selectedIds() const;

    // What the list shows at a position, for tests and screenshots.
    int rowCount() const { return list_.count(); }
    QString caption(int row) const { return cell(row, UrlColumn); }
    QString cell(int row, int column) const;

Q_SIGNALS:
    // A mouse click on the list (ListView1Click).
    void listClicked();
    // The Delete key, whatever the modifiers (ListView1KeyDown).
    void deletePressed();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    // Home and End go to the first and last row, as in any list of rows.
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;

private:
    UrlListModel &list_;
};

} // namespace sentrel
