#pragma once
#include "check/checkoutcome.h"
#include <QString>
#include <QStringList>

// What the runs of checks and their endings need besides the URL list.
namespace sentrel {

// One check of a row (CheckEngine in the program).
class RowChecker {
public:
    virtual ~RowChecker() = default;
    virtual CheckOutcome check(RowId row) = 0;
    // A run is about to check these URLs (rows added meanwhile may follow),
    // or has ended, also by an error; runs may nest.
    virtual void runStarting(const QStringList &urls) { Q_UNUSED(urls); }
    virtual void runEnded() {}
};

// The application's default error box: the application title as caption,
// a stop icon and the message. Used for the errors no one else catches.
class ErrorBox {
public:
    virtual ~ErrorBox() = default;
    virtual void showError(const QString &message) = 0;
};

// The status bar and the error box, where the desktop's runs end.
class RunWindow : public ErrorBox {
public:
    virtual void setStatusText(const QString &text) = 0;
};

// The notifications at the end of a run that checked at least one row.
class ChangeNotifier {
public:
    virtual ~ChangeNotifier() = default;
    virtual void ActionsUygula(const QStringList &changedUrls) = 0;
};

} // namespace sentrel
