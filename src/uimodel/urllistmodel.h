#pragma once
#include <QAbstractTableModel>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <optional>
#include <vector>

// The URL list as data: one row per watched URL with its "Last Change" and
// "Status" texts. The desktop shows it in a table view; the checks, the
// list commands, sentrel-cli and the tests work on it directly.
namespace sentrel {

// A row's identity for the life of the process. Positions move when rows
// above go; an id stays with its row and is never given to another one, so
// that whatever outlives a moment of letting messages through (a check, a
// dialog) finds its row again, or learns that it is gone.
using RowId = quint64;

struct UrlListRow {
    QString url;
    QString lastChange;
    QString status;
};

class UrlListModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    // Every column the list has, in display order; views and code name them
    // from here only.
    enum Column { UrlColumn = 0, LastChangeColumn, StatusColumn, ColumnCount };

    explicit UrlListModel(QObject *parent = nullptr) : QAbstractTableModel(parent) {}

    // QAbstractTableModel: display text, the URL as the URL cell's tooltip,
    // the header captions; rows are selectable, never editable in place.
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    // Appends one row, or a whole list in one insertion (start-up).
    RowId append(const UrlListRow &row);
    QList<RowId> appendMany(const std::vector<UrlListRow> &rows);
    // Removes the row; nothing happens for a row that is gone already.
    void remove(RowId id);

    int count() const { return int(rows_.size()); }
    bool contains(RowId id) const { return positions_.contains(id); }
    int rowOf(RowId id) const { return positions_.value(id, -1); } // -1 when gone
    RowId idAt(int row) const { return rows_.at(size_t(row)).id; }

    // A gone row reads as empty and ignores writes: a check that outlived
    // its row has nowhere to show its outcome.
    QString url(RowId id) const;
    QString lastChange(RowId id) const;
    QString status(RowId id) const;
    void setLastChange(RowId id, const QString &text);
    void setStatus(RowId id, const QString &text);
    // The options dialog's new URL: the caption changes, both cells empty.
    void rename(RowId id, const QString &url);

    // The first row (in list order) whose caption is exactly `caption`.
    std::optional<RowId> findCaption(const QString &caption) const;
    // Whether a row's caption, trimmed, is `url`: a check's URL is its
    // row's trimmed caption.
    bool listsUrl(QStringView url) const;

    QStringList captions() const;
    // Sorted by position: the order the list shows.
    QList<RowId> inListOrder(QList<RowId> ids) const;

private:
    struct Entry {
        RowId id;
        UrlListRow row;
    };
    const Entry *entry(RowId id) const;
    void setCell(RowId id, Column column, const QString &text);
    void indexEntry(const Entry &e, int position);
    void unindexEntry(const Entry &e);
    void renumberFrom(int position);

    std::vector<Entry> rows_;
    QHash<RowId, int> positions_;
    QMultiHash<QString, RowId> byCaption_;
    QHash<QString, int> trimmedCounts_;
    RowId nextId_ = 1;
};

} // namespace sentrel
