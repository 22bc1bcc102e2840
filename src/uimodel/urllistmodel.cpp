#include "uimodel/urllistmodel.h"
#include "text/lines.h"
#include <algorithm>

namespace sentrel {

int UrlListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : count();
}

int UrlListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant UrlListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= count())
        return {};
    const UrlListRow &row = rows_[size_t(index.row())].row;
    if (role == Qt::ToolTipRole && index.column() == UrlColumn)
        return row.url;
    if (role != Qt::DisplayRole)
        return {};
    switch (index.column()) {
    case UrlColumn:
        return row.url;
    case LastChangeColumn:
        return row.lastChange;
    case StatusColumn:
        return row.status;
    default:
        return {};
    }
}

QVariant UrlListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case UrlColumn:
        return QStringLiteral("URL");
    case LastChangeColumn:
        return QStringLiteral("Last Change");
    case StatusColumn:
        return QStringLiteral("Status");
    default:
        return {};
    }
}

Qt::ItemFlags UrlListModel::flags(const QModelIndex &index) const
{
    return index.isValid() ? Qt::ItemIsSelectable | Qt::ItemIsEnabled : Qt::NoItemFlags;
}

void UrlListModel::indexEntry(const Entry &e, int position)
{
    positions_.insert(e.id, position);
    byCaption_.insert(e.row.url, e.id);
    ++trimmedCounts_[trim(e.row.url)];
}

void UrlListModel::unindexEntry(const Entry &e)
{
    positions_.remove(e.id);
    byCaption_.remove(e.row.url, e.id);
    const QString trimmed = trim(e.row.url);
    if (--trimmedCounts_[trimmed] <= 0)
        trimmedCounts_.remove(trimmed);
}

void UrlListModel::renumberFrom(int position)
{
    for (int i = position; i < count(); ++i)
        positions_[rows_[size_t(i)].id] = i;
}

RowId UrlListModel::append(const UrlListRow &row)
{
    return appendMany({row}).front();
}

QList<RowId> UrlListModel::appendMany(const std::vector<UrlListRow> &rows)
{
    QList<RowId> ids;
    if (rows.empty())
        return ids;
    ids.reserve(qsizetype(rows.size()));
    const int first = count();
    beginInsertRows(QModelIndex(), first, first + int(rows.size()) - 1);
    rows_.reserve(rows_.size() + rows.size());
    for (const UrlListRow &row : rows) {
        rows_.push_back({nextId_++, row});
        indexEntry(rows_.back(), count() - 1);
        ids.append(rows_.back().id);
    }
    endInsertRows();
    return ids;
}

void UrlListModel::remove(RowId id)
{
    const int position = rowOf(id);
    if (position < 0)
        return;
    beginRemoveRows(QModelIndex(), position, position);
    unindexEntry(rows_[size_t(position)]);
    rows_.erase(rows_.begin() + position);
    renumberFrom(position);
    endRemoveRows();
}

const UrlListModel::Entry *UrlListModel::entry(RowId id) const
{
    const int position = rowOf(id);
    return position < 0 ? nullptr : &rows_[size_t(position)];
}

QString UrlListModel::url(RowId id) const
{
    const Entry *e = entry(id);
    return e ? e->row.url : QString();
}

QString UrlListModel::lastChange(RowId id) const
{
    const Entry *e = entry(id);
    return e ? e->row.lastChange : QString();
}

QString UrlListModel::status(RowId id) const
{
    const Entry *e = entry(id);
    return e ? e->row.status : QString();
}

void UrlListModel::setCell(RowId id, Column column, const QString &text)
{
    const int position = rowOf(id);
    if (position < 0)
        return;
    UrlListRow &row = rows_[size_t(position)].row;
    QString &cell = column == LastChangeColumn ? row.lastChange : row.status;
    if (cell == text)
        return;
    cell = text;
    const QModelIndex changed = createIndex(position, column);
    Q_EMIT dataChanged(changed, changed, {Qt::DisplayRole});
}

void UrlListModel::setLastChange(RowId id, const QString &text)
{
    setCell(id, LastChangeColumn, text);
}

void UrlListModel::setStatus(RowId id, const QString &text)
{
    setCell(id, StatusColumn, text);
}

void UrlListModel::rename(RowId id, const QString &url)
{
    const int position = rowOf(id);
    if (position < 0)
        return;
    Entry &e = rows_[size_t(position)];
    unindexEntry(e);
    e.row = UrlListRow{url, QString(), QString()};
    indexEntry(e, position);
    Q_EMIT dataChanged(createIndex(position, 0), createIndex(position, ColumnCount - 1),
                       {Qt::DisplayRole, Qt::ToolTipRole});
}

std::optional<RowId> UrlListModel::findCaption(const QString &caption) const
{
    std::optional<RowId> first;
    // One row per caption but for a store that holds a URL twice.
    for (auto it = byCaption_.constFind(caption); it != byCaption_.cend() && it.key() == caption; ++it)
        if (!first || rowOf(*it) < rowOf(*first))
            first = *it;
    return first;
}

bool UrlListModel::listsUrl(QStringView url) const
{
    return trimmedCounts_.contains(url.toString());
}

QStringList UrlListModel::captions() const
{
    QStringList all;
    all.reserve(count());
    for (const Entry &e : rows_)
        all.append(e.row.url);
    return all;
}

QList<RowId> UrlListModel::inListOrder(QList<RowId> ids) const
{
    std::sort(ids.begin(), ids.end(), [this](RowId a, RowId b) { return rowOf(a) < rowOf(b); });
    return ids;
}

} // namespace sentrel
