#include "dialogs/addurls.h"
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace sentrel {

QString TFormAddURLs::sampleText()
{
    return QStringLiteral("https://www.example.com/\r\n"
                          "https://www.example.org/news/\r\n"
                          "https://www.example.net/prices.html\r\n"
                          "https://example.com/blog/\r\n"
                          "https://example.org/downloads/");
}

TFormAddURLs::TFormAddURLs(QPlainTextEdit *editor, std::function<void(const QString &)> add, QWidget *parent)
    : QDialog(parent), SynEdit1(editor), Button1(new QPushButton(QStringLiteral("Add"))),
      Button2(new QPushButton(QStringLiteral("Cancel"))), add_(std::move(add))
{
    setWindowTitle(QStringLiteral("Add URLs"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    resize(532, 338);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    SynEdit1->setParent(this);
    SynEdit1->setPlainText(sampleText());
    SynEdit1->selectAll();
    Button1->setDefault(false);
    Button1->setAutoDefault(false);
    Button2->setAutoDefault(false);
    Button1->setMinimumWidth(90);
    Button2->setMinimumWidth(90);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 8);
    layout->addWidget(SynEdit1, 1);
    layout->addLayout(buttons);

    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    // Cancel and Escape (QDialog's own reject) close without adding.
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
    SynEdit1->setFocus();
}

void TFormAddURLs::Button1Click()
{
    const QString text = SynEdit1->toPlainText();
    // Closed first, so that an error box raised while adding does not sit
    // over a dialog that looks as if nothing had happened.
    hide();
    if (add_)
        add_(text);
    accept();
}

} // namespace sentrel
