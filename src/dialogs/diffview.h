#pragma once
#include "dialogs/diffrows.h"
#include <QAbstractScrollArea>
#include <QWidget>
#include <vector>

class QLabel;

// The difference between two versions of a page's text: a heading with the
// change's time, then every hunk under a separator, each line with its
// numbers on both sides, added lines on green, removed lines struck through
// on red and the words that changed within them marked more strongly.
namespace sentrel {

struct ChangeView;

// The rows, painted as they scroll into sight: a diff of a hundred thousand
// lines costs no more to show than one of ten (no widget or text layout per
// line). Arrow and page keys scroll it.
class DiffLinesView final : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit DiffLinesView(QWidget *parent = nullptr);

    void setRows(std::vector<DiffRow> rows);
    const std::vector<DiffRow> &rows() const { return rows_; }

    int rowHeight() const;
    // Where the text of a row starts, left of any horizontal scrolling.
    int textLeft() const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void updateScrollBars();
    void paintRow(QPainter &painter, const DiffRow &row, int top) const;
    int numberWidth() const;

    std::vector<DiffRow> rows_;
    int numberDigits_ = 1;
    qsizetype longestLine_ = 0;
};

class DiffView final : public QWidget {
    Q_OBJECT
public:
    explicit DiffView(QWidget *parent = nullptr);

    // The view's heading, and its rows or its message.
    void showChange(const ChangeView &change);
    void clear();

    QString heading() const;
    QString message() const; // "" while rows are shown
    DiffLinesView *lines() const { return lines_; }

private:
    QLabel *heading_;
    QLabel *message_;
    DiffLinesView *lines_;
};

// "Courier New" 13 pixels high, or the platform's fixed-pitch font of that
// size when the family is not installed: the font of the program's text panes.
QFont diffFont();

} // namespace sentrel
