#pragma once
#include "text/translation.h"
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// The kinds of message box the program shows and the confirmation dialog,
// without widgets: the desktop program implements MessageBoxes, tests fake it.
namespace sentrel {

// Modal boxes with one OK button.
enum class MessageKind {
    Plain,       // caption: the application title; no icon (store errors and other error reports)
    Warning,     // caption "WARNING", warning icon
    Information, // caption Translate("INFORMATION"), information icon
    Error,       // caption "ERROR", error icon
};

// The caption a message kind shows.
QString messageCaption(MessageKind kind, const Translator &translator, const QString &applicationTitle);

// The icon of a confirmation dialog: exclamation mark, stop sign, letter i,
// question mark, none.
enum class DialogKind { Warning, Error, Information, Confirmation, Custom };

// The buttons, in the order a dialog shows them from left to right.
enum class DialogButton { Yes, No, OK, Cancel, Abort, Retry, Ignore, All, NoToAll, YesToAll, Help, Close };

// What a dialog returns: the pressed button's code; closing the window by its
// title bar gives Cancel (2).
namespace dialogresult {
inline constexpr int OK = 1;
inline constexpr int Cancel = 2;
inline constexpr int Abort = 3;
inline constexpr int Retry = 4;
inline constexpr int Ignore = 5;
inline constexpr int Yes = 6;
inline constexpr int No = 7;
inline constexpr int All = 8;
inline constexpr int NoToAll = 9;
inline constexpr int YesToAll = 10;
inline constexpr int Close = 11;
} // namespace dialogresult

// The result code of a button; Help has none (it does not close the dialog).
std::optional<int> resultCode(DialogButton button);
// "Yes", "No", "OK", "Cancel", "Abort", "Retry", "Ignore", "All", "No to All",
// "Yes to All", "Help", "Close".
QString standardCaption(DialogButton button);

struct ConfirmationRequest {
    QString message;
    DialogKind kind = DialogKind::Confirmation;
    QList<DialogButton> buttons; // a set: order and repeats do not matter
    QString caption;
    QStringList buttonCaptions; // for the shown buttons from left to right
};

// How a confirmation dialog is laid out.
struct DialogLayout {
    QList<DialogButton> buttons; // each requested button once, in the fixed order
    QStringList captions;        // one per button: the n-th supplied caption, else the standard one
    std::optional<DialogButton> defaultButton; // Enter: OK, else Yes, else Retry (if requested)
    std::optional<DialogButton> escapeButton;  // Escape: Cancel, else No, else OK (if requested)
};
DialogLayout layoutDialog(const ConfirmationRequest &request);

// The shared message boxes; every call is modal and returns once answered.
class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    virtual void showMessage(MessageKind kind, const QString &caption, const QString &text) = 0;
    // The result code of the button pressed (dialogresult).
    virtual int confirm(const ConfirmationRequest &request) = 0;
    // The changed-URLs notice of a run. It returns at once and leaves the box
    // open, so automatic checking goes on while nobody answers it; while the
    // notice of an earlier run is still open, that same box takes `text`.
    // Boxes that cannot stay open show it as a modal information message.
    virtual void showChangesNotice(const QString &caption, const QString &text)
    {
        showMessage(MessageKind::Information, caption, text);
    }
    virtual bool changesNoticeOpen() const { return false; }
};

// The restart question of Reset to Defaults, in the user's language; true
// only when the answer is Yes.
bool askRestart(MessageBoxes &boxes, const Translator &translator);

} // namespace sentrel
