#include "dialogs/messageboxes.h"
#include "text/error.h"
#include <QCloseEvent>
#include <QPushButton>
#include <exception>

namespace sentrel {

QMessageBox::Icon messageIcon(MessageKind kind)
{
    switch (kind) {
    case MessageKind::Warning:
        return QMessageBox::Warning;
    case MessageKind::Information:
        return QMessageBox::Information;
    case MessageKind::Error:
        return QMessageBox::Critical;
    case MessageKind::Plain:
        break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::Icon dialogIcon(DialogKind kind)
{
    switch (kind) {
    case DialogKind::Warning:
        return QMessageBox::Warning;
    case DialogKind::Error:
        return QMessageBox::Critical;
    case DialogKind::Information:
        return QMessageBox::Information;
    case DialogKind::Confirmation:
        return QMessageBox::Question;
    case DialogKind::Custom:
        break;
    }
    return QMessageBox::NoIcon;
}

ConfirmationBox::ConfirmationBox(const ConfirmationRequest &request, QWidget *parent)
    : QMessageBox(parent), layout_(layoutDialog(request))
{
    setWindowTitle(request.caption);
    setText(request.message);
    setIcon(dialogIcon(request.kind));
    setTextFormat(Qt::PlainText);
    setWindowModality(Qt::ApplicationModal);
    for (qsizetype i = 0; i < layout_.buttons.size(); ++i) {
        const DialogButton kind = layout_.buttons[i];
        // One role for all, Help included: a platform style would otherwise move
        // buttons out of the fixed left-to-right order.
        QPushButton *button = addButton(layout_.captions[i], QMessageBox::ActionRole);
        kinds_.insert(button, kind);
    }
    if (layout_.defaultButton)
        setDefaultButton(qobject_cast<QPushButton *>(buttonFor(*layout_.defaultButton)));
    // Without an Escape button, Escape does nothing (QMessageBox would
    // otherwise guess one).
    if (layout_.escapeButton)
        setEscapeButton(buttonFor(*layout_.escapeButton));
    // The press of this showing; clickedButton() would still name the Help
    // press of an earlier one.
    connect(this, &QMessageBox::buttonClicked, this, [this](QAbstractButton *button) { pressed_ = button; });
}

QAbstractButton *ConfirmationBox::buttonFor(DialogButton button) const
{
    for (auto it = kinds_.cbegin(); it != kinds_.cend(); ++it)
        if (it.value() == button)
            return it.key();
    return nullptr;
}

void ConfirmationBox::closeEvent(QCloseEvent *event)
{
    // QMessageBox turns a title-bar close into a click of the Escape button
    // (or refuses it when there is none); the program's dialogs answer Cancel.
    if (pressed_ == nullptr)
        closedByTitleBar_ = true;
    event->accept();
    done(0);
}

int ConfirmationBox::run()
{
    for (;;) {
        closedByTitleBar_ = false;
        pressed_ = nullptr;
        exec();
        if (closedByTitleBar_ || pressed_ == nullptr)
            return dialogresult::Cancel;
        const auto kind = kinds_.constFind(pressed_);
        if (kind == kinds_.cend())
            return dialogresult::Cancel;
        if (const std::optional<int> code = resultCode(kind.value()))
            return *code;
        // Help has no result: it asks for help and the question stays.
        Q_EMIT helpRequested();
    }
}

void QtMessageBoxes::showMessage(MessageKind kind, const QString &caption, const QString &text)
{
    QMessageBox box(messageIcon(kind), caption, text, QMessageBox::Ok, parent_);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

void QtMessageBoxes::showChangesNotice(const QString &caption, const QString &text)
{
    if (!changesNoticeOpen()) {
        notice_ = new QMessageBox(QMessageBox::Information, caption, {}, QMessageBox::Ok, parent_);
        notice_->setTextFormat(Qt::PlainText);
        notice_->setAttribute(Qt::WA_DeleteOnClose);
        notice_->setWindowModality(Qt::NonModal);
    }
    notice_->setText(text);
    notice_->show();
}

bool QtMessageBoxes::changesNoticeOpen() const
{
    return notice_ && notice_->isVisible();
}

int QtMessageBoxes::confirm(const ConfirmationRequest &request)
{
    ConfirmationBox box(request, parent_);
    return box.run();
}

void showErrorBox(QWidget *parent, const QString &applicationTitle, const QString &message)
{
    QMessageBox box(QMessageBox::Critical, applicationTitle, message, QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

bool runReportingErrors(QWidget *parent, const QString &applicationTitle, const std::function<void()> &work)
{
    try {
        work();
        return true;
    } catch (const Error &error) {
        showErrorBox(parent, applicationTitle, error.message());
    } catch (const std::exception &error) {
        showErrorBox(parent, applicationTitle, QString::fromLocal8Bit(error.what()));
    }
    return false;
}

} // namespace sentrel
