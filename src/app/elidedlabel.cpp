#include "app/elidedlabel.h"
#include <QEvent>
#include <QFontMetrics>

namespace sentrel {

ElidedLabel::ElidedLabel(const QString &text, QWidget *parent) : QLabel(parent)
{
    // The layout gives it the room there is, however long the text.
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    setFullText(text);
}

void ElidedLabel::setFullText(const QString &text)
{
    fullText_ = text;
    setToolTip(text);
    elide();
}

QSize ElidedLabel::minimumSizeHint() const
{
    return {fontMetrics().horizontalAdvance(QStringLiteral("http://")), QLabel::minimumSizeHint().height()};
}

QSize ElidedLabel::sizeHint() const
{
    return {fontMetrics().horizontalAdvance(fullText_), QLabel::sizeHint().height()};
}

void ElidedLabel::resizeEvent(QResizeEvent *event)
{
    QLabel::resizeEvent(event);
    elide();
}

void ElidedLabel::changeEvent(QEvent *event)
{
    QLabel::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        elide();
}

void ElidedLabel::elide()
{
    // The middle goes: a URL is told apart by its host and its last part.
    const QString shown = fontMetrics().elidedText(fullText_, Qt::ElideMiddle, contentsRect().width());
    if (shown != text())
        setText(shown);
}

} // namespace sentrel
