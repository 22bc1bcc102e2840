#pragma once
#include <QDialog>
#include <QFrame>
#include <QString>
#include <functional>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace sentrel {

class FormPoster;
class MessageBoxes;
class Translator;

// What the feedback form needs; all of it outlives the (modal) form.
struct FeedbackContext {
    const Translator &translator;
    QString productName;
    QString windowTitle; // company name + " - " + product name
    QString versionText; // "2.0"
    QString site;        // host of the maker's web site (with a port if any)
    FormPoster &poster;
    MessageBoxes &boxes;
    std::function<void()> beep; // the default system beep
};

// One of the two toggle panels: a picture and a caption; a left click
// toggles it (the form keeps at most one selected).
class FeedbackPanel : public QFrame {
    Q_OBJECT
public:
    FeedbackPanel(const QPixmap &picture, const QString &caption, QWidget *parent = nullptr);
    QString caption() const;
    bool isSelected() const { return selected_; }
    void setSelected(bool selected);

Q_SIGNALS:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;

private:
    QLabel *picture_;
    QLabel *caption_;
    bool selected_ = false;
};

class TFeedbackForm : public QDialog {
    Q_OBJECT
public:
    static constexpr int MaxMessageLength = 10000;
    static constexpr int MaxEmailLength = 100;

    explicit TFeedbackForm(FeedbackContext context, QWidget *parent = nullptr);

    FeedbackPanel *Panel4 = nullptr; // "I like it!"
    FeedbackPanel *Panel5 = nullptr; // "I dislike it!"
    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    QPlainTextEdit *Memo1 = nullptr;
    QLabel *Label3 = nullptr;
    QLineEdit *Edit1 = nullptr;
    QPushButton *BitBtn1 = nullptr; // "Send"

    // The message "Send" would post now.
    QString message() const;

public Q_SLOTS:
    void Image1MouseDown();
    void Image2MouseDown();
    void BitBtn1Click();

private:
    void toggle(FeedbackPanel &clicked, FeedbackPanel &other);
    QString translated(const char16_t *english) const;

    FeedbackContext context_;
};

// "Send &Feedback...": a new form, shown modally, freed when it closes.
void SendFeedback1Click(const FeedbackContext &context, QWidget *parent);

} // namespace sentrel
