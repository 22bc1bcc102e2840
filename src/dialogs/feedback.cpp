#include "dialogs/feedback.h"
#include "dialogs/feedbackpost.h"
#include "text/lines.h"
#include "text/translation.h"
#include "uimodel/messages.h"
#include <QApplication>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace sentrel {

namespace {

QFont fontOfHeight(int pixels, bool bold = false)
{
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

// The panels' pictures: a smiling and a frowning face.
QPixmap face(bool smiling)
{
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(60, 60, 60), 1.5));
    p.setBrush(smiling ? QColor(120, 200, 90) : QColor(235, 110, 90));
    p.drawEllipse(QRectF(2, 2, 28, 28));
    p.setBrush(QColor(40, 40, 40));
    p.drawEllipse(QRectF(10, 10, 3.5, 4.5));
    p.drawEllipse(QRectF(18.5, 10, 3.5, 4.5));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(40, 40, 40), 2, Qt::SolidLine, Qt::RoundCap));
    QPainterPath mouth;
    if (smiling) {
        mouth.moveTo(9, 19);
        mouth.quadTo(16, 26, 23, 19);
    } else {
        mouth.moveTo(9, 24);
        mouth.quadTo(16, 17, 23, 24);
    }
    p.drawPath(mouth);
    return pixmap;
}

QIcon sendIcon()
{
    QPixmap pixmap(24, 24);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(30, 90, 160), 1.5));
    p.setBrush(QColor(230, 240, 255));
    p.drawRect(QRectF(2.5, 5.5, 19, 13));
    p.drawPolyline(QPolygonF({QPointF(2.5, 5.5), QPointF(12, 13), QPointF(21.5, 5.5)}));
    return QIcon(pixmap);
}

// The busy cursor for the whole application while the posts block.
class BusyCursor {
public:
    BusyCursor() { QGuiApplication::setOverrideCursor(Qt::BusyCursor); }
    ~BusyCursor() { QGuiApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor &) = delete;
    BusyCursor &operator=(const BusyCursor &) = delete;
};

} // namespace

FeedbackPanel::FeedbackPanel(const QPixmap &picture, const QString &caption, QWidget *parent)
    : QFrame(parent), picture_(new QLabel(this)), caption_(new QLabel(caption, this))
{
    picture_->setPixmap(picture);
    picture_->setFixedSize(32, 32);
    caption_->setFont(fontOfHeight(16));
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(12, 8, 12, 8);
    layout->setSpacing(10);
    layout->addWidget(picture_);
    layout->addWidget(caption_, 1);
    setCursor(Qt::PointingHandCursor);
    setAutoFillBackground(true);
    setLineWidth(2);
    setSelected(false);
}

QString FeedbackPanel::caption() const
{
    return caption_->text();
}

void FeedbackPanel::setSelected(bool selected)
{
    selected_ = selected;
    setFrameStyle(QFrame::Panel | (selected ? QFrame::Sunken : QFrame::Raised));
    QPalette pal = palette();
    const QPalette app = QApplication::palette();
    pal.setColor(QPalette::Window, app.color(selected ? QPalette::Highlight : QPalette::Button));
    pal.setColor(QPalette::WindowText,
                 app.color(selected ? QPalette::HighlightedText : QPalette::WindowText));
    setPalette(pal);
    caption_->setPalette(pal);
}

void FeedbackPanel::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        Q_EMIT clicked();
    QFrame::mousePressEvent(event);
}

QString TFeedbackForm::translated(const char16_t *english) const
{
    return context_.translator.Translate(QString::fromUtf16(english));
}

TFeedbackForm::TFeedbackForm(FeedbackContext context, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      context_(std::move(context))
{
    setObjectName(QStringLiteral("FeedbackForm"));
    setWindowTitle(context_.productName + u' ' + translated(u"feedback"));
    setFont(fontOfHeight(11));
    setModal(true);

    Panel4 = new FeedbackPanel(face(true), translated(u"I like it!"), this);
    Panel5 = new FeedbackPanel(face(false), translated(u"I dislike it!"), this);
    Label1 = new QLabel(translated(u"We would really appreciate your feedback."), this);
    Label1->setFont(fontOfHeight(16));
    Label2 = new QLabel(translated(u"What did you like or dislike?"), this);
    Label2->setFont(fontOfHeight(13, true));
    Memo1 = new QPlainTextEdit(this);
    Memo1->setFont(fontOfHeight(13));
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setTabChangesFocus(true);
    Label3 = new QLabel(translated(u"Include my e-mail:"), this);
    Label3->setFont(fontOfHeight(13));
    Edit1 = new QLineEdit(this);
    Edit1->setFont(fontOfHeight(13));
    Edit1->setMaxLength(MaxEmailLength);
    Label3->setBuddy(Edit1);
    BitBtn1 = new QPushButton(sendIcon(), translated(u"Send"), this);
    BitBtn1->setFont(fontOfHeight(16));
    BitBtn1->setFixedSize(172, 33);
    BitBtn1->setIconSize(QSize(24, 24));
    BitBtn1->setAutoDefault(false);

    auto *panels = new QHBoxLayout;
    panels->setSpacing(10);
    panels->addWidget(Panel4, 1);
    panels->addWidget(Panel5, 1);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(Label3);
    bottom->addWidget(Edit1, 1);
    bottom->addSpacing(12);
    bottom->addWidget(BitBtn1);
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(12, 12, 12, 12);
    outer->setSpacing(8);
    outer->addLayout(panels);
    outer->addSpacing(4);
    outer->addWidget(Label1);
    outer->addWidget(Label2);
    outer->addWidget(Memo1, 1);
    outer->addLayout(bottom);
    setFixedSize(525, 326);

    connect(Panel4, &FeedbackPanel::clicked, this, &TFeedbackForm::Image1MouseDown);
    connect(Panel5, &FeedbackPanel::clicked, this, &TFeedbackForm::Image2MouseDown);
    connect(BitBtn1, &QPushButton::clicked, this, &TFeedbackForm::BitBtn1Click);
    connect(Memo1, &QPlainTextEdit::textChanged, this, [this] {
        // The field's limit: pasted text beyond it is cut off.
        const QString text = Memo1->toPlainText();
        if (text.size() > MaxMessageLength) {
            QTextCursor cursor = Memo1->textCursor();
            cursor.setPosition(MaxMessageLength);
            cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
            cursor.removeSelectedText();
        }
    });
    // Escape anywhere closes the form without sending (QDialog's reject).
}

void TFeedbackForm::toggle(FeedbackPanel &clicked, FeedbackPanel &other)
{
    if (clicked.isSelected()) {
        clicked.setSelected(false);
        return;
    }
    clicked.setSelected(true);
    if (other.isSelected())
        other.setSelected(false);
}

void TFeedbackForm::Image1MouseDown()
{
    toggle(*Panel4, *Panel5);
}

void TFeedbackForm::Image2MouseDown()
{
    toggle(*Panel5, *Panel4);
}

QString TFeedbackForm::message() const
{
    QString panel;
    if (Panel4->isSelected())
        panel = panelMessageText(QStringLiteral("I like it!"), Panel4->caption());
    else if (Panel5->isSelected())
        panel = panelMessageText(QStringLiteral("I dislike it!"), Panel5->caption());
    return feedbackMessage(panel, Memo1->toPlainText());
}

void TFeedbackForm::BitBtn1Click()
{
    if (trim(Memo1->toPlainText()).isEmpty()) {
        Memo1->setFocus();
        if (context_.beep)
            context_.beep();
        return;
    }
    const QString email = trim(Edit1->text());
    if (!email.isEmpty() && !isValidEmail(email)) {
        Edit1->setFocus();
        context_.boxes.showMessage(MessageKind::Error, translated(u"Failure"),
                                   translated(u"Invalid e-mail address!"));
        return;
    }
    QString response;
    {
        const BusyCursor busy;
        response = postFeedback(context_.poster, context_.site,
                                feedbackFields(context_.windowTitle, context_.versionText, message(), email));
    }
    if (isDelivered(response)) {
        context_.boxes.showMessage(MessageKind::Information, translated(u"Success"),
                                   translated(u"Your feedback is received.") + QStringLiteral("\r\r") +
                                       translated(u"Thank you!"));
        accept();
        return;
    }
    context_.boxes.showMessage(MessageKind::Error, translated(u"Failure"),
                               translated(u"Something went wrong. Your feedback could not be delivered.") +
                                   QStringLiteral("\r\r") + translated(u"Please try again later."));
}

void SendFeedback1Click(const FeedbackContext &context, QWidget *parent)
{
    TFeedbackForm form(context, parent);
    form.exec();
}

} // namespace sentrel
