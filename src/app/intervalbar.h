#pragma once
#include "check/autocheck.h"
#include <QWidget>

class QCheckBox;
class QLabel;
class QLineEdit;
class QSpinBox;

// The interval bar: "Auto Check", "Interval (sec):", the interval control and
// the countdown label. The automatic checking drives it through
// AutoCheckControls; the window connects the two change signals.
namespace sentrel {

class IntervalBar final : public QWidget, public AutoCheckControls {
    Q_OBJECT
public:
    explicit IntervalBar(QWidget *parent = nullptr);

    bool autoCheckChecked() const override;
    QString intervalText() const override;
    void setIntervalEnabled(bool on) override;
    void setCountdownText(const QString &text) override;
    void setCountdownVisible(bool visible) override;

    // Start-up: the value without the change signal.
    void setIntervalQuietly(int seconds);

    QCheckBox *autoCheckBox() const { return CheckBox1; }
    QSpinBox *intervalControl() const { return SpinEdit1; }
    QLabel *intervalLabel() const { return Label1; }
    QLabel *countdownLabel() const { return LabelCountdown; }

Q_SIGNALS:
    void autoCheckClicked();    // CheckBox1Click, after the box changed
    void intervalTextChanged(); // SpinEdit1Change

private:
    QCheckBox *CheckBox1;
    QLabel *Label1;
    QSpinBox *SpinEdit1;
    QLineEdit *editor_; // the spin box's text, which changes with every keystroke
    QLabel *LabelCountdown;
    QString lastText_; // the text the last change signal was given for

    void textMayHaveChanged();
};

} // namespace sentrel
