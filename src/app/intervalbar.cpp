#include "app/intervalbar.h"
#include "storage/settingskeys.h"
#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QSpinBox>

namespace sentrel {

IntervalBar::IntervalBar(QWidget *parent)
    : QWidget(parent), CheckBox1(new QCheckBox(QStringLiteral("Auto Check"), this)),
      Label1(new QLabel(QStringLiteral("Interval (sec):"), this)), SpinEdit1(new QSpinBox(this)),
      editor_(SpinEdit1->findChild<QLineEdit *>()), LabelCountdown(new QLabel(QStringLiteral("0"), this))
{
    setFixedHeight(33);
    SpinEdit1->setRange(MinimumInterval, MaximumInterval);
    SpinEdit1->setValue(DefaultInterval);
    SpinEdit1->setMinimumWidth(110);
    SpinEdit1->setAccelerated(true);
    // Leaving the control with a value below the range sets the minimum, not
    // the last value it had.
    SpinEdit1->setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
    Label1->setEnabled(false);
    SpinEdit1->setEnabled(false);
    LabelCountdown->setVisible(false);
    LabelCountdown->setMinimumWidth(60);
    QFont bold = LabelCountdown->font();
    bold.setBold(true);
    LabelCountdown->setFont(bold);

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(8, 2, 8, 2);
    layout->setSpacing(10);
    layout->addWidget(CheckBox1);
    layout->addSpacing(12);
    layout->addWidget(Label1);
    layout->addWidget(SpinEdit1);
    layout->addWidget(LabelCountdown);
    layout->addStretch(1);

    connect(CheckBox1, &QCheckBox::clicked, this, &IntervalBar::autoCheckClicked);
    // Every change of the text counts: the editor's own signal also gives a
    // value the spin box does not accept yet (5 while typing 50); the spin
    // box's gives the arrows and its correction, which it makes with the
    // editor's signals blocked. One change reaches both only once.
    lastText_ = SpinEdit1->text();
    connect(editor_, &QLineEdit::textChanged, this, &IntervalBar::textMayHaveChanged);
    connect(SpinEdit1, &QSpinBox::textChanged, this, &IntervalBar::textMayHaveChanged);
}

void IntervalBar::textMayHaveChanged()
{
    const QString text = editor_->text();
    if (text == lastText_)
        return;
    lastText_ = text;
    Q_EMIT intervalTextChanged();
}

bool IntervalBar::autoCheckChecked() const
{
    return CheckBox1->isChecked();
}

QString IntervalBar::intervalText() const
{
    return editor_->text();
}

void IntervalBar::setIntervalEnabled(bool on)
{
    Label1->setEnabled(on);
    SpinEdit1->setEnabled(on);
}

void IntervalBar::setCountdownText(const QString &text)
{
    LabelCountdown->setText(text);
}

void IntervalBar::setCountdownVisible(bool visible)
{
    LabelCountdown->setVisible(visible);
}

void IntervalBar::setIntervalQuietly(int seconds)
{
    const QSignalBlocker blockSpin(SpinEdit1);
    const QSignalBlocker blockText(editor_);
    SpinEdit1->setValue(seconds);
    lastText_ = SpinEdit1->text();
}

} // namespace sentrel
