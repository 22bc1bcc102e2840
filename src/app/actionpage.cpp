#include "app/actionpage.h"
#include "storage/settingskeys.h"
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace sentrel {

ActionPage::ActionPage(QWidget *parent)
    : QWidget(parent), CheckBox2(new QCheckBox(QStringLiteral("Beep"))),
      CheckBox3(new QCheckBox(QStringLiteral("Play Sound"))),
      CheckBox4(new QCheckBox(QStringLiteral("Show Message"))),
      CheckBox5(new QCheckBox(QStringLiteral("Open URL with Default Browser"))),
      Edit1(new QLineEdit(QString::fromUtf16(NoSoundFile))),
      Button1(new QPushButton(QStringLiteral("Browse...")))
{
    Edit1->setEnabled(false);
    Button1->setEnabled(false);
    Edit1->setMinimumWidth(320);

    auto *group = new QGroupBox;
    auto *grid = new QGridLayout(group);
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(12);
    grid->addWidget(CheckBox2, 0, 0);
    grid->addWidget(CheckBox3, 1, 0);
    grid->addWidget(Edit1, 1, 1);
    grid->addWidget(Button1, 1, 2);
    grid->addWidget(CheckBox4, 2, 0);
    grid->addWidget(CheckBox5, 3, 0, 1, 3);
    grid->setColumnStretch(1, 1);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->addWidget(group);
    layout->addStretch(1);
}

void ActionPage::setSoundFileEnabled(bool on)
{
    Edit1->setEnabled(on);
    Button1->setEnabled(on);
}

} // namespace sentrel
