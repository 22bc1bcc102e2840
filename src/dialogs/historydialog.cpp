#include "dialogs/historydialog.h"
#include "check/checkurl.h"
#include "dialogs/diffview.h"
#include "storage/historyschema.h"
#include "storage/storeerror.h"
#include "storage/websitedb.h"
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSplitter>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace sentrel {

namespace {

QTreeWidgetItem *versionItem(const HistoryRow &row)
{
    auto *item = new QTreeWidgetItem({row.time, row.status, row.lines});
    item->setTextAlignment(HistoryDialog::LinesColumn, Qt::AlignRight | Qt::AlignVCenter);
    if (row.marker) {
        for (int column = 0; column < item->columnCount(); ++column) {
            QFont font = item->font(column);
            font.setItalic(true);
            item->setFont(column, font);
        }
    }
    return item;
}

} // namespace

HistoryDialog::HistoryDialog(StoreAccess &store, const QString &url, std::vector<SnapshotRecord> history,
                             QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint),
      comparer_(store), url_(url), history_(std::move(history)), versions_(new QTreeWidget(this)),
      diff_(new DiffView(this)),
      hint_(new QLabel(QStringLiteral("Ctrl+click a second version to compare the two."), this)),
      close_(new QPushButton(QStringLiteral("Close"), this))
{
    setWindowTitle(QStringLiteral("History - ") + url_);
    setObjectName(QStringLiteral("FormHistory"));
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(11);
    setFont(font);

    versions_->setHeaderLabels({QStringLiteral("Time"), QStringLiteral("Status"), QStringLiteral("Lines")});
    versions_->setRootIsDecorated(false);
    versions_->setUniformRowHeights(true);
    versions_->setAllColumnsShowFocus(true);
    versions_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    versions_->setSelectionBehavior(QAbstractItemView::SelectRows);
    versions_->header()->setStretchLastSection(false);
    versions_->header()->setSectionResizeMode(StatusColumn, QHeaderView::Stretch);
    versions_->setColumnWidth(TimeColumn, 130);
    versions_->setColumnWidth(LinesColumn, 70);
    for (const HistoryRow &row : historyRows(history_))
        versions_->addTopLevelItem(versionItem(row));

    auto *splitter = new QSplitter(Qt::Horizontal, this);
    splitter->setChildrenCollapsible(false);
    splitter->addWidget(versions_);
    splitter->addWidget(diff_);
    splitter->setStretchFactor(0, 0);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({300, 560});

    close_->setMinimumWidth(85);
    close_->setDefault(true);
    hint_->setForegroundRole(QPalette::PlaceholderText);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(hint_, 1);
    buttons->addWidget(close_);

    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(14, 14, 14, 12);
    outer->addWidget(splitter, 1);
    outer->addLayout(buttons);
    resize(880, 520);

    // Escape closes the dialog (QDialog), as Close does.
    connect(close_, &QPushButton::clicked, this, &QDialog::reject);
    connect(versions_, &QTreeWidget::itemSelectionChanged, this, &HistoryDialog::showSelectedChange);
    QWidget::setTabOrder(versions_, diff_->lines());
    QWidget::setTabOrder(diff_->lines(), close_);
    versions_->setFocus();
    // The newest version is shown first; the arrow keys move on from it.
    if (QTreeWidgetItem *newest = versions_->topLevelItem(0))
        versions_->setCurrentItem(newest);
    else
        diff_->showChange({QString(), noSavedTextText(), {}});
}

HistoryDialog::~HistoryDialog()
{
    // The list outlives this part of the dialog (QWidget deletes children
    // later) and may report its selection emptied as it goes.
    versions_->disconnect(this);
}

void HistoryDialog::showSelectedChange()
{
    QList<int> rows;
    for (const QModelIndex &index : versions_->selectionModel()->selectedRows())
        rows.append(index.row());
    if (rows.size() == 1 && history_[std::size_t(rows.front())].kind == historyschema::ResetMarkerKind) {
        diff_->showChange({QString(),
                           QStringLiteral("The options were edited here: the saved text was reset, "
                                          "and the next check saved a new first version."),
                           {}});
        return;
    }
    diff_->showChange(comparer_.compare(pairToCompare(history_, rows)));
}

HistoryDialog *openHistory(const HistoryContext &context, RowId row, QWidget *parent)
{
    const QString url = context.list.url(row);
    std::vector<SnapshotRecord> history;
    try {
        history = SnapshotComparer(context.store).history(url);
    } catch (const Error &error) {
        context.errors.showStoreError(storeErrorText(error));
        return nullptr;
    }
    auto *dialog = new HistoryDialog(context.store, url, std::move(history), parent);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setModal(false);
    dialog->show();
    return dialog;
}

HistoryDialog *History1Click(const HistoryContext &context, QWidget *parent)
{
    const QList<RowId> selected = context.list.inListOrder(context.selection());
    if (selected.isEmpty())
        return nullptr;
    return openHistory(context, selected.front(), parent);
}

HistoryDialog *openHistoryOfChangedRow(const HistoryContext &context, RowId row, QWidget *parent)
{
    if (!context.list.contains(row) || context.list.status(row) != QStringView(checktext::Changed))
        return nullptr;
    return openHistory(context, row, parent);
}

} // namespace sentrel
