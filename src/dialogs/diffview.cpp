#include "dialogs/diffview.h"
#include "dialogs/snapshotcompare.h"
#include <QFontDatabase>
#include <QFontInfo>
#include <QLabel>
#include <QPainter>
#include <QScrollBar>
#include <QVBoxLayout>
#include <algorithm>

namespace sentrel {

namespace {

constexpr int CellPadding = 6;

int digitsOf(int number)
{
    int digits = 1;
    for (; number >= 10; number /= 10)
        ++digits;
    return digits;
}

} // namespace

QFont diffFont()
{
    QFont font(QStringLiteral("Courier New"));
    font.setPixelSize(13);
    if (QFontInfo(font).family().compare(QStringLiteral("Courier New"), Qt::CaseInsensitive) == 0)
        return font;
    QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    fixed.setPixelSize(13);
    return fixed;
}

DiffLinesView::DiffLinesView(QWidget *parent) : QAbstractScrollArea(parent)
{
    setFont(diffFont());
    setFocusPolicy(Qt::StrongFocus);
    setFrameShape(QFrame::NoFrame);
    viewport()->setAutoFillBackground(true);
    QPalette palette = viewport()->palette();
    palette.setColor(QPalette::Base, diffRowColours(DiffRow::Kind::Context).background);
    viewport()->setPalette(palette);
    viewport()->setBackgroundRole(QPalette::Base);
}

void DiffLinesView::setRows(std::vector<DiffRow> rows)
{
    rows_ = std::move(rows);
    int highest = 0;
    longestLine_ = 0;
    for (const DiffRow &row : rows_) {
        highest = std::max({highest, row.oldLine, row.newLine});
        if (row.kind != DiffRow::Kind::Separator)
            longestLine_ = std::max(longestLine_, row.text.size());
    }
    numberDigits_ = digitsOf(highest);
    verticalScrollBar()->setValue(0);
    horizontalScrollBar()->setValue(0);
    updateScrollBars();
    viewport()->update();
}

int DiffLinesView::rowHeight() const
{
    return fontMetrics().height() + 2;
}

int DiffLinesView::numberWidth() const
{
    return numberDigits_ * fontMetrics().horizontalAdvance(u'0') + 2 * CellPadding;
}

int DiffLinesView::textLeft() const
{
    // Both numbers, then the "+" / "-" mark in a column of its own.
    return 2 * numberWidth() + fontMetrics().horizontalAdvance(u'+') + 2 * CellPadding;
}

void DiffLinesView::updateScrollBars()
{
    const int visibleRows = std::max(1, viewport()->height() / rowHeight());
    verticalScrollBar()->setPageStep(visibleRows);
    verticalScrollBar()->setSingleStep(1);
    verticalScrollBar()->setRange(0, std::max(0, int(rows_.size()) - visibleRows));
    // The font is fixed-pitch, so the longest line in characters is the widest.
    const qint64 textWidth = qint64(longestLine_) * fontMetrics().horizontalAdvance(u'M') + CellPadding;
    const qint64 overflow = textLeft() + textWidth - viewport()->width();
    horizontalScrollBar()->setPageStep(viewport()->width());
    horizontalScrollBar()->setSingleStep(fontMetrics().horizontalAdvance(u'M') * 4);
    horizontalScrollBar()->setRange(0, int(std::clamp<qint64>(overflow, 0, 1 << 30)));
}

void DiffLinesView::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
}

void DiffLinesView::paintEvent(QPaintEvent *)
{
    QPainter painter(viewport());
    const int first = verticalScrollBar()->value();
    const int height = rowHeight();
    for (int index = first, top = 0; index < int(rows_.size()) && top < viewport()->height();
         ++index, top += height)
        paintRow(painter, rows_[std::size_t(index)], top);
}

void DiffLinesView::paintRow(QPainter &painter, const DiffRow &row, int top) const
{
    const DiffRowColours colours = diffRowColours(row.kind);
    const QFontMetrics metrics = fontMetrics();
    const int width = viewport()->width();
    const int height = rowHeight();
    const int baseline = top + 1 + metrics.ascent();
    painter.fillRect(0, top, width, height, colours.background);
    painter.setPen(colours.text);
    if (row.kind == DiffRow::Kind::Separator) {
        painter.drawText(CellPadding, baseline, row.text);
        return;
    }

    // The numbers in a gutter a shade darker than the line, each right-aligned.
    const int numbers = numberWidth();
    painter.fillRect(0, top, 2 * numbers, height, colours.background.darker(106));
    painter.setPen(QColor(0x6e, 0x77, 0x81));
    const auto number = [&](int line, int left) {
        if (line > 0)
            painter.drawText(QRect(left, top, numbers - CellPadding, height),
                             Qt::AlignRight | Qt::AlignVCenter, QString::number(line));
    };
    number(row.oldLine, 0);
    number(row.newLine, numbers);
    painter.setPen(colours.text);
    painter.drawText(2 * numbers + CellPadding, baseline, diffRowMark(row.kind));

    // The text scrolls sideways under a clip, leaving the gutter in place.
    const int left = textLeft();
    painter.save();
    painter.setClipRect(left, top, std::max(0, width - left), height);
    const int x = left - horizontalScrollBar()->value();
    for (const WordSpan &span : row.changedWords) {
        const int start = metrics.horizontalAdvance(row.text.left(span.start));
        const int length = metrics.horizontalAdvance(row.text.mid(span.start, span.length));
        painter.fillRect(x + start, top, length, height, colours.changedWords);
    }
    QFont font = painter.font();
    font.setStrikeOut(row.kind == DiffRow::Kind::Removed);
    painter.setFont(font);
    painter.drawText(x, baseline, row.text);
    painter.restore();
}

DiffView::DiffView(QWidget *parent)
    : QWidget(parent), heading_(new QLabel(this)), message_(new QLabel(this)), lines_(new DiffLinesView(this))
{
    heading_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    heading_->setContentsMargins(6, 3, 6, 3);
    message_->setAlignment(Qt::AlignCenter);
    message_->setWordWrap(true);
    message_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    message_->setForegroundRole(QPalette::PlaceholderText);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(heading_);
    layout->addWidget(lines_, 1);
    layout->addWidget(message_, 1);
    clear();
}

void DiffView::showChange(const ChangeView &change)
{
    heading_->setText(change.heading);
    heading_->setVisible(!change.heading.isEmpty());
    message_->setText(change.message);
    const bool rowsShown = change.message.isEmpty();
    lines_->setRows(rowsShown ? change.rows : std::vector<DiffRow>{});
    lines_->setVisible(rowsShown);
    message_->setVisible(!rowsShown);
}

void DiffView::clear()
{
    showChange(ChangeView{});
}

QString DiffView::heading() const
{
    return heading_->text();
}

QString DiffView::message() const
{
    return message_->text();
}

} // namespace sentrel
