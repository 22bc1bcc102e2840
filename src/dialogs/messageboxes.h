#pragma once
#include "uimodel/messages.h"
#include <QHash>
#include <QMessageBox>
#include <QPointer>
#include <functional>

class QWidget;

// The Qt side of the shared message boxes: one look for every message kind and
// the confirmation dialog with caller-supplied (translated) button captions.
namespace sentrel {

// The confirmation dialog itself, laid out by layoutDialog: the requested
// buttons in the fixed order with their captions, Enter and Escape buttons as
// the layout says. run() shows it modally and returns the result code.
class ConfirmationBox : public QMessageBox {
    Q_OBJECT
public:
    explicit ConfirmationBox(const ConfirmationRequest &request, QWidget *parent = nullptr);

    // Shows the dialog until a button with a result code is pressed or the
    // window is closed by its title bar (Cancel). Help keeps the dialog open.
    int run();

    // The dialog's button for a requested button, or null.
    QAbstractButton *buttonFor(DialogButton button) const;
    const DialogLayout &layout() const { return layout_; }

Q_SIGNALS:
    void helpRequested();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    DialogLayout layout_;
    QHash<QAbstractButton *, DialogButton> kinds_;
    QAbstractButton *pressed_ = nullptr;
    bool closedByTitleBar_ = false;
};

// MessageBoxes over QMessageBox; boxes are modal to the parent given.
class QtMessageBoxes : public MessageBoxes {
public:
    explicit QtMessageBoxes(QWidget *parent = nullptr) : parent_(parent) {}
    void setParent(QWidget *parent) { parent_ = parent; }

    void showMessage(MessageKind kind, const QString &caption, const QString &text) override;
    int confirm(const ConfirmationRequest &request) override;
    // A modeless information box, deleted once answered.
    void showChangesNotice(const QString &caption, const QString &text) override;
    bool changesNoticeOpen() const override;

private:
    QPointer<QWidget> parent_;
    QPointer<QMessageBox> notice_;
};

// The icon each message kind and dialog kind shows.
QMessageBox::Icon messageIcon(MessageKind kind);
QMessageBox::Icon dialogIcon(DialogKind kind);

// The application's default error box, for errors no handler catches: the
// application title as caption, a stop icon and the error's message.
void showErrorBox(QWidget *parent, const QString &applicationTitle, const QString &message);

// Runs a command or timer tick; an error escaping it ends just that piece of
// work and is shown in the default error box. Returns false when it failed.
bool runReportingErrors(QWidget *parent, const QString &applicationTitle, const std::function<void()> &work);

} // namespace sentrel
