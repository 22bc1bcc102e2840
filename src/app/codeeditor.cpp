#include "app/codeeditor.h"
#include <QFontDatabase>
#include <QPainter>
#include <QRegularExpression>
#include <QSyntaxHighlighter>
#include <QTextBlock>

namespace sentrel {

namespace {

// Web addresses as a reader recognises them: a scheme, or a "www." host.
class UrlHighlighter final : public QSyntaxHighlighter {
public:
    explicit UrlHighlighter(QTextDocument *document)
        : QSyntaxHighlighter(document),
          pattern_(QStringLiteral(R"((?:\b(?:https?|ftp)://|\bwww\.)[^\s<>"'`]+[^\s<>"'`.,;:!?)\]])"),
                   QRegularExpression::CaseInsensitiveOption)
    {
        format_.setForeground(QColor(0x1a, 0x5f, 0xc8));
        format_.setFontUnderline(true);
    }

protected:
    void highlightBlock(const QString &text) override
    {
        auto matches = pattern_.globalMatch(text);
        while (matches.hasNext()) {
            const auto match = matches.next();
            setFormat(int(match.capturedStart()), int(match.capturedLength()), format_);
        }
    }

private:
    QRegularExpression pattern_;
    QTextCharFormat format_;
};

} // namespace

class LineNumberGutter final : public QWidget {
public:
    explicit LineNumberGutter(CodeEditor *editor) : QWidget(editor), editor_(editor) {}
    QSize sizeHint() const override { return {editor_->gutterWidth(), 0}; }

protected:
    void paintEvent(QPaintEvent *event) override { editor_->paintGutter(event); }

private:
    CodeEditor *editor_;
};

QFont editorFont()
{
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::TypeWriter);
    if (!QFontInfo(font).fixedPitch())
        font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPixelSize(13);
    return font;
}

CodeEditor::CodeEditor(bool highlightUrls, QWidget *parent)
    : QPlainTextEdit(parent), gutter_(new LineNumberGutter(this))
{
    setFont(editorFont());
    setFrameShape(QFrame::NoFrame);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    if (highlightUrls)
        highlighter_ = new UrlHighlighter(document());
    connect(this, &QPlainTextEdit::blockCountChanged, this, [this] { updateGutterWidth(); });
    connect(this, &QPlainTextEdit::updateRequest, this,
            [this](const QRect &rect, int dy) { updateGutter(rect, dy); });
    updateGutterWidth();
}

int CodeEditor::gutterDigits() const
{
    int digits = 1;
    for (int count = qMax(1, blockCount()); count >= 10; count /= 10)
        ++digits;
    return qMax(3, digits);
}

int CodeEditor::gutterWidth() const
{
    return 8 + fontMetrics().horizontalAdvance(u'9') * gutterDigits();
}

void CodeEditor::updateGutterWidth()
{
    setViewportMargins(gutterWidth(), 0, 0, 0);
}

void CodeEditor::updateGutter(const QRect &rect, int dy)
{
    if (dy != 0)
        gutter_->scroll(0, dy);
    else
        gutter_->update(0, rect.y(), gutter_->width(), rect.height());
    if (rect.contains(viewport()->rect()))
        updateGutterWidth();
}

void CodeEditor::resizeEvent(QResizeEvent *event)
{
    QPlainTextEdit::resizeEvent(event);
    const QRect area = contentsRect();
    gutter_->setGeometry(QRect(area.left(), area.top(), gutterWidth(), area.height()));
}

void CodeEditor::paintGutter(QPaintEvent *event)
{
    QPainter painter(gutter_);
    painter.fillRect(event->rect(), palette().color(QPalette::Window));
    painter.setPen(palette().color(QPalette::PlaceholderText));
    painter.setFont(font());
    QTextBlock block = firstVisibleBlock();
    int top = qRound(blockBoundingGeometry(block).translated(contentOffset()).top());
    const int lineHeight = fontMetrics().height();
    while (block.isValid() && top <= event->rect().bottom()) {
        const int bottom = top + qRound(blockBoundingRect(block).height());
        if (block.isVisible() && bottom >= event->rect().top())
            painter.drawText(0, top, gutter_->width() - 4, lineHeight, Qt::AlignRight,
                             QString::number(block.blockNumber() + 1));
        block = block.next();
        top = bottom;
    }
}

} // namespace sentrel
