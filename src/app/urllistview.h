#pragma once
#include "check/checkports.h"
#include "dialogs/editurl.h"
#include "storage/urllist.h"
#include <QTableWidget>

// The URL list: a report view with grid lines, whole-row and multiple
// selection, read-only cells and the columns "URL", "Last Change" and
// "Status". It is the rows both the URL list logic and the checks work on.
namespace sentrel {

class UrlListView final : public QTableWidget, public UrlRows, public CheckRows, public UrlRowRenamer {
    Q_OBJECT
public:
    enum Column { UrlColumn = 0, LastChangeColumn = 1, StatusColumn = 2 };

    explicit UrlListView(QWidget *parent = nullptr);

    // UrlRows and CheckRows
    int rowCount() const override { return QTableWidget::rowCount(); }
    QString caption(int row) const override { return cell(row, UrlColumn); }
    bool isSelected(int row) const override;
    void appendRow(const QString &url, const QString &lastChange, const QString &status) override;
    void removeRow(int row) override { QTableWidget::removeRow(row); }
    void setLastChange(int row, const QString &text) override { setCell(row, LastChangeColumn, text); }
    void setStatus(int row, const QString &text) override { setCell(row, StatusColumn, text); }

    // UrlRowRenamer: the options dialog's new URL; both cells emptied.
    void renameRow(int row, const QString &url) override;

    QString cell(int row, int column) const;
    void setCell(int row, int column, const QString &text);

Q_SIGNALS:
    // A mouse click on the list (ListView1Click).
    void listClicked();
    // The Delete key, whatever the modifiers (ListView1KeyDown).
    void deletePressed();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
};

} // namespace sentrel
