#pragma once
#include <QDialog>
#include <QString>
#include <QStringList>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace sentrel {

// Where the dialog reports a failed write of the list file: the
// application's default error box in the program.
class ExclusionErrorSink {
public:
    virtual ~ExclusionErrorSink() = default;
    virtual void showError(const QString &message) = 0;
};

// The Exclusions dialog. Modeless; each opening shows the list as it is
// then, and the last one confirmed with OK decides the list and the file.
class TFormExclusion : public QDialog {
    Q_OBJECT
public:
    // `list` is the main window's exclusion list and outlives the dialog.
    TFormExclusion(QStringList &list, QString dataFolder, ExclusionErrorSink &errors,
                   QWidget *parent = nullptr);

    QLabel *Label1 = nullptr;
    QPlainTextEdit *Memo1 = nullptr;
    QPushButton *Button1 = nullptr; // OK
    QPushButton *Button2 = nullptr; // Cancel

public Q_SLOTS:
    void Button1Click();

private:
    QStringList &list_;
    QString dataFolder_;
    ExclusionErrorSink &errors_;
};

// "Exclusions...": a new dialog, shown modeless, freed when closed.
TFormExclusion *Exclusions1Click(QStringList &list, const QString &dataFolder, ExclusionErrorSink &errors,
                                 QWidget *parent);

} // namespace sentrel
