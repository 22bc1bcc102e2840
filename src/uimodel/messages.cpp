#include "uimodel/messages.h"
#include <array>

namespace sentrel {

namespace {
constexpr std::array fixedOrder{DialogButton::Yes,      DialogButton::No,    DialogButton::OK,
                                DialogButton::Cancel,   DialogButton::Abort, DialogButton::Retry,
                                DialogButton::Ignore,   DialogButton::All,   DialogButton::NoToAll,
                                DialogButton::YesToAll, DialogButton::Help,  DialogButton::Close};
} // namespace

QString messageCaption(MessageKind kind, const Translator &translator, const QString &applicationTitle)
{
    switch (kind) {
    case MessageKind::Warning:
        return QStringLiteral("WARNING");
    case MessageKind::Information:
        return translator.Translate(QStringLiteral("INFORMATION"));
    case MessageKind::Error:
        return QStringLiteral("ERROR");
    case MessageKind::Plain:
        break;
    }
    return applicationTitle;
}

std::optional<int> resultCode(DialogButton button)
{
    switch (button) {
    case DialogButton::Yes:
        return dialogresult::Yes;
    case DialogButton::No:
        return dialogresult::No;
    case DialogButton::OK:
        return dialogresult::OK;
    case DialogButton::Cancel:
        return dialogresult::Cancel;
    case DialogButton::Abort:
        return dialogresult::Abort;
    case DialogButton::Retry:
        return dialogresult::Retry;
    case DialogButton::Ignore:
        return dialogresult::Ignore;
    case DialogButton::All:
        return dialogresult::All;
    case DialogButton::NoToAll:
        return dialogresult::NoToAll;
    case DialogButton::YesToAll:
        return dialogresult::YesToAll;
    case DialogButton::Close:
        return dialogresult::Close;
    case DialogButton::Help:
        break;
    }
    return std::nullopt;
}

QString standardCaption(DialogButton button)
{
    switch (button) {
    case DialogButton::Yes:
        return QStringLiteral("Yes");
    case DialogButton::No:
        return QStringLiteral("No");
    case DialogButton::OK:
        return QStringLiteral("OK");
    case DialogButton::Cancel:
        return QStringLiteral("Cancel");
    case DialogButton::Abort:
        return QStringLiteral("Abort");
    case DialogButton::Retry:
        return QStringLiteral("Retry");
    case DialogButton::Ignore:
        return QStringLiteral("Ignore");
    case DialogButton::All:
        return QStringLiteral("All");
    case DialogButton::NoToAll:
        return QStringLiteral("No to All");
    case DialogButton::YesToAll:
        return QStringLiteral("Yes to All");
    case DialogButton::Help:
        return QStringLiteral("Help");
    case DialogButton::Close:
        break;
    }
    return QStringLiteral("Close");
}

DialogLayout layoutDialog(const ConfirmationRequest &request)
{
    DialogLayout layout;
    for (DialogButton b : fixedOrder) {
        if (!request.buttons.contains(b))
            continue;
        const qsizetype n = layout.buttons.size();
        layout.buttons.append(b);
        layout.captions.append(n < request.buttonCaptions.size() ? request.buttonCaptions[n]
                                                                 : standardCaption(b));
    }
    const auto firstRequested =
        [&](std::initializer_list<DialogButton> choices) -> std::optional<DialogButton> {
        for (DialogButton b : choices)
            if (layout.buttons.contains(b))
                return b;
        return std::nullopt;
    };
    layout.defaultButton = firstRequested({DialogButton::OK, DialogButton::Yes, DialogButton::Retry});
    layout.escapeButton = firstRequested({DialogButton::Cancel, DialogButton::No, DialogButton::OK});
    return layout;
}

bool askRestart(MessageBoxes &boxes, const Translator &translator)
{
    ConfirmationRequest request;
    request.message = translator.Translate(QStringLiteral("Restart Application?"));
    request.kind = DialogKind::Confirmation;
    request.buttons = {DialogButton::Yes, DialogButton::No};
    request.caption = translator.Translate(QStringLiteral("Confirmation"));
    request.buttonCaptions = {translator.Translate(QStringLiteral("Yes")),
                              translator.Translate(QStringLiteral("No"))};
    return boxes.confirm(request) == dialogresult::Yes;
}

} // namespace sentrel
