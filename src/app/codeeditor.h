#pragma once
#include <QPlainTextEdit>

class QSyntaxHighlighter;

// The plain-text editor of the log pane, the content preview and the Add
// URLs dialog: fixed-pitch font, line numbers in a gutter of at least three
// digits, no border, no wrapping, optionally web addresses highlighted.
// Editable; whatever is typed stays in memory only.
namespace sentrel {

class CodeEditor : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit CodeEditor(bool highlightUrls, QWidget *parent = nullptr);

    int gutterWidth() const;
    // The number of digits the gutter is sized for: the line count's, at least 3.
    int gutterDigits() const;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    friend class LineNumberGutter;
    void paintGutter(QPaintEvent *event);
    void updateGutterWidth();
    void updateGutter(const QRect &rect, int dy);

    QWidget *gutter_;
    QSyntaxHighlighter *highlighter_ = nullptr;
};

// "Courier New" 13 pixels high, or the platform's fixed-pitch font when that
// family is not installed.
QFont editorFont();

} // namespace sentrel
