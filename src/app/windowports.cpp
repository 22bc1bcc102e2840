#include "app/windowports.h"
#include "uimodel/messages.h"
#include <QAction>
#include <QActionGroup>
#include <QLabel>
#include <QPlainTextEdit>

namespace sentrel {

void WindowPorts::setStatusText(const QString &text)
{
    p_.statusText.setText(text);
}

void WindowPorts::appendLog(const QString &line)
{
    p_.log.appendPlainText(line);
}

StripMethod WindowPorts::stripMethod() const
{
    if (const QAction *checked = p_.stripMethods.checkedAction())
        return static_cast<StripMethod>(checked->data().toInt());
    return StripMethod::Browser;
}

void WindowPorts::showError(const QString &message)
{
    ConfirmationRequest request;
    request.message = message;
    request.kind = DialogKind::Error;
    request.buttons = {DialogButton::OK};
    request.caption = p_.applicationTitle;
    p_.boxes.confirm(request);
}

void WindowPorts::showStoreError(const QString &text)
{
    p_.boxes.showMessage(MessageKind::Plain, p_.applicationTitle, text);
}

} // namespace sentrel
