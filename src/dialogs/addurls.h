#pragma once
#include <QDialog>
#include <functional>

class QPlainTextEdit;
class QPushButton;

// The Add URLs dialog: an editor that starts with five sample addresses,
// all selected so that typing or pasting replaces them, and "Add" and
// "Cancel". Modeless; each use makes a new one, which deletes itself once
// closed.
namespace sentrel {

class TFormAddURLs final : public QDialog {
    Q_OBJECT
public:
    // "Add" hands the editor's whole text to `add` (which passes every line
    // through Ekle), then closes. `editor` is the program's text editor,
    // taken over by the dialog.
    TFormAddURLs(QPlainTextEdit *editor, std::function<void(const QString &)> add, QWidget *parent = nullptr);

    QPlainTextEdit *editor() const { return SynEdit1; }
    QPushButton *addButton() const { return Button1; }
    QPushButton *cancelButton() const { return Button2; }

    // The editor's first text: example addresses, one per line.
    static QString sampleText();

private:
    void Button1Click();

    QPlainTextEdit *SynEdit1;
    QPushButton *Button1; // "Add"
    QPushButton *Button2; // "Cancel"
    std::function<void(const QString &)> add_;
};

} // namespace sentrel
