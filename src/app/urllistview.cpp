#include "app/urllistview.h"
#include <QHeaderView>
#include <QKeyEvent>

namespace sentrel {

UrlListView::UrlListView(UrlListModel &list, QWidget *parent) : QTableView(parent), list_(list)
{
    setModel(&list_);
    setShowGrid(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSortingEnabled(false);
    setWordWrap(false);
    setTextElideMode(Qt::ElideRight);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    QHeaderView *header = horizontalHeader();
    header->setHighlightSections(false);
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    header->setSectionResizeMode(UrlColumn, QHeaderView::Stretch);
    header->setSectionResizeMode(LastChangeColumn, QHeaderView::Interactive);
    header->setSectionResizeMode(StatusColumn, QHeaderView::Interactive);
    header->resizeSection(LastChangeColumn, 150);
    header->resizeSection(StatusColumn, 150);
    header->setStretchLastSection(false);
}

QList<RowId> UrlListView::selectedIds() const
{
    QList<RowId> ids;
    for (const QModelIndex &index : selectionModel()->selectedRows())
        ids.append(list_.idAt(index.row()));
    return list_.inListOrder(ids);
}

QString UrlListView::cell(int row, int column) const
{
    return list_.data(list_.index(row, column)).toString();
}

void UrlListView::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Delete) {
        Q_EMIT deletePressed();
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

QModelIndex UrlListView::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers)
{
    // A table's Home and End stay in the row; whole rows are selected here,
    // so they would move nothing a user can see.
    if (action == MoveHome || action == MoveEnd)
        modifiers |= Qt::ControlModifier;
    return QTableView::moveCursor(action, modifiers);
}

void UrlListView::mouseReleaseEvent(QMouseEvent *event)
{
    QTableView::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton)
        Q_EMIT listClicked();
}

} // namespace sentrel
