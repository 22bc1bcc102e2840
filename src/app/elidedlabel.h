#pragma once
#include <QLabel>

// A one-line label for text of any length: what does not fit is cut out of
// the middle, the whole text is its tooltip, and it asks for no more width
// than a few characters, so that a long text never widens the window.
namespace sentrel {

class ElidedLabel final : public QLabel {
    Q_OBJECT
public:
    explicit ElidedLabel(const QString &text = QString(), QWidget *parent = nullptr);

    void setFullText(const QString &text);
    const QString &fullText() const { return fullText_; }

    QSize minimumSizeHint() const override;
    QSize sizeHint() const override;

protected:
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void elide();

    QString fullText_;
};

} // namespace sentrel
