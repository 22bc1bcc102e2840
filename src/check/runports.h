#pragma once
#include <QString>
#include <QStringList>

// What the runs of checks need of the window besides the rows and the check.
namespace sentrel {

// One check of the row at a position (CheckEngine in the program).
class RowChecker {
public:
    virtual ~RowChecker() = default;
    virtual void CheckURL(int index) = 0;
};

// The application's default error box: the application title as caption,
// a stop icon and the message. Used for the errors no one else catches.
class ErrorBox {
public:
    virtual ~ErrorBox() = default;
    virtual void showError(const QString &message) = 0;
};

class RunWindow : public ErrorBox {
public:
    virtual void setStatusText(const QString &text) = 0;
    virtual void hideContentPanel() = 0; // ContentPanelGizle
    virtual void beep() = 0;             // the simple beep of an OK message box
};

// The notifications at the end of a run that checked at least one row.
class ChangeNotifier {
public:
    virtual ~ChangeNotifier() = default;
    virtual void ActionsUygula(const QStringList &changedUrls) = 0;
};

// Told after each check of a run (sentrel-cli prints the row's outcome).
class RunObserver {
public:
    virtual ~RunObserver() = default;
    virtual void rowChecked(int row) = 0;
};

} // namespace sentrel
