#pragma once
#include "check/notifications.h"
#include <QWidget>

class QCheckBox;
class QLineEdit;
class QPushButton;

// The "Action" page: the four notification boxes, the sound-file field and
// "Browse...". The window connects the signals to the action settings.
namespace sentrel {

class ActionPage final : public QWidget, public SoundFileControls {
    Q_OBJECT
public:
    explicit ActionPage(QWidget *parent = nullptr);

    void setSoundFileEnabled(bool on) override;

    QCheckBox *beepBox() const { return CheckBox2; }
    QCheckBox *playSoundBox() const { return CheckBox3; }
    QCheckBox *showMessageBox() const { return CheckBox4; }
    QCheckBox *openUrlBox() const { return CheckBox5; }
    QLineEdit *soundFileField() const { return Edit1; }
    QPushButton *browseButton() const { return Button1; }

private:
    QCheckBox *CheckBox2; // "Beep"
    QCheckBox *CheckBox3; // "Play Sound"
    QCheckBox *CheckBox4; // "Show Message"
    QCheckBox *CheckBox5; // "Open URL with Default Browser"
    QLineEdit *Edit1;     // the sound file
    QPushButton *Button1; // "Browse..."
};

} // namespace sentrel
