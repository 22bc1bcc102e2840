#include "dialogs/exclusionform.h"
#include "storage/exclusions.h"
#include "text/error.h"
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace sentrel {

TFormExclusion::TFormExclusion(QStringList &list, QString dataFolder, ExclusionErrorSink &errors,
                               QWidget *parent)
    : QDialog(parent), list_(list), dataFolder_(std::move(dataFolder)), errors_(errors)
{
    setObjectName(QStringLiteral("FormExclusion"));
    setWindowTitle(QStringLiteral("Exclusions"));
    Label1 = new QLabel(QStringLiteral("Lines containing these texts on websites will be ignored."), this);
    Label1->setWordWrap(true);
    Memo1 = new QPlainTextEdit(this);
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(13);
    Memo1->setFont(font);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1->setPlainText(exclusionEditorText(list_));
    Button1 = new QPushButton(QStringLiteral("OK"), this);
    Button2 = new QPushButton(QStringLiteral("Cancel"), this);
    for (QPushButton *b : {Button1, Button2}) {
        b->setAutoDefault(false); // Enter belongs to the text field
        b->setMinimumWidth(85);
    }

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(12, 12, 12, 12);
    outer->addWidget(Label1);
    outer->addWidget(Memo1, 1);
    outer->addLayout(buttons);
    resize(549, 396);

    connect(Button1, &QPushButton::clicked, this, &TFormExclusion::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
    // Escape in the text field reaches the dialog and rejects it.
}

void TFormExclusion::Button1Click()
{
    // QPlainTextEdit holds line breaks as LF; the file gets CR LF between
    // lines, as the editor text always had.
    const QString text = Memo1->toPlainText().replace(u'\n', QStringLiteral("\r\n"));
    try {
        confirmExclusions(list_, dataFolder_, text);
    } catch (const Error &error) {
        // The list is already replaced; the dialog stays open so that the
        // user can try again or copy the text.
        errors_.showError(error.message());
        return;
    }
    accept();
}

TFormExclusion *Exclusions1Click(QStringList &list, const QString &dataFolder, ExclusionErrorSink &errors,
                                 QWidget *parent)
{
    auto *dialog = new TFormExclusion(list, dataFolder, errors, parent);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->show();
    return dialog;
}

} // namespace sentrel
