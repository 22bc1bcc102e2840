#include "app/urllistview.h"
#include <QHeaderView>
#include <QKeyEvent>

namespace sentrel {

UrlListView::UrlListView(QWidget *parent) : QTableWidget(0, 3, parent)
{
    setHorizontalHeaderLabels(
        {QStringLiteral("URL"), QStringLiteral("Last Change"), QStringLiteral("Status")});
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

bool UrlListView::isSelected(int row) const
{
    return selectionModel()->isRowSelected(row, QModelIndex());
}

void UrlListView::appendRow(const QString &url, const QString &lastChange, const QString &status)
{
    const int row = QTableWidget::rowCount();
    insertRow(row);
    setCell(row, UrlColumn, url);
    setCell(row, LastChangeColumn, lastChange);
    setCell(row, StatusColumn, status);
}

void UrlListView::renameRow(int row, const QString &url)
{
    setCell(row, UrlColumn, url);
    if (QTableWidgetItem *it = item(row, UrlColumn))
        it->setToolTip(url);
    setCell(row, LastChangeColumn, QString());
    setCell(row, StatusColumn, QString());
}

QString UrlListView::cell(int row, int column) const
{
    const QTableWidgetItem *it = item(row, column);
    return it ? it->text() : QString();
}

void UrlListView::setCell(int row, int column, const QString &text)
{
    if (row < 0 || row >= QTableWidget::rowCount())
        return;
    if (QTableWidgetItem *it = item(row, column)) {
        it->setText(text);
        return;
    }
    auto *it = new QTableWidgetItem(text);
    it->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    if (column == UrlColumn)
        it->setToolTip(text);
    setItem(row, column, it);
}

void UrlListView::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Delete) {
        Q_EMIT deletePressed();
        event->accept();
        return;
    }
    QTableWidget::keyPressEvent(event);
}

void UrlListView::mouseReleaseEvent(QMouseEvent *event)
{
    QTableWidget::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton)
        Q_EMIT listClicked();
}

} // namespace sentrel
