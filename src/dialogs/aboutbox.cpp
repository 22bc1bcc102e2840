#include "dialogs/aboutbox.h"
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QVBoxLayout>
#include <curl/curlver.h>
#include <sqlite3.h>
#include <zlib.h>

namespace sentrel {

namespace {

// The program's mark: an eye over a page, drawn so that no image file is needed.
QPixmap mark()
{
    QPixmap pixmap(64, 64);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(40, 70, 120), 2));
    p.setBrush(QColor(245, 248, 252));
    p.drawRoundedRect(QRectF(10, 4, 44, 56), 4, 4);
    p.setPen(QPen(QColor(170, 185, 205), 2));
    for (int y = 14; y <= 22; y += 8)
        p.drawLine(18, y, 46, y);
    p.setPen(QPen(QColor(30, 110, 190), 2.5));
    p.setBrush(Qt::white);
    QPainterPath eye;
    eye.moveTo(14, 42);
    eye.quadTo(32, 26, 50, 42);
    eye.quadTo(32, 58, 14, 42);
    p.drawPath(eye);
    p.setBrush(QColor(30, 110, 190));
    p.drawEllipse(QPointF(32, 42), 6, 6);
    return pixmap;
}

} // namespace

QString aboutCredits()
{
    return QStringLiteral("Built with:\n") + QStringLiteral("Qt ") + QString::fromLatin1(qVersion()) +
           QStringLiteral("\nSQLite ") + QString::fromLatin1(sqlite3_libversion()) +
           QStringLiteral("\nlibcurl ") + QStringLiteral(LIBCURL_VERSION) +
           QStringLiteral("\nPCRE2, OpenSSL, zlib ") + QString::fromLatin1(zlibVersion()) +
           QStringLiteral(", Gumbo");
}

TAboutBox::TAboutBox(const QString &productName, const QString &versionText, const QString &copyright,
                     QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint)
{
    setWindowTitle(QStringLiteral("About ") + productName);
    auto *picture = new QLabel(this);
    picture->setPixmap(mark());
    picture->setAlignment(Qt::AlignTop);
    ProductLabel = new QLabel(productName, this);
    QFont big = font();
    big.setPointSizeF(big.pointSizeF() * 1.8);
    big.setBold(true);
    ProductLabel->setFont(big);
    VersionLabel = new QLabel(QStringLiteral("Version ") + versionText, this);
    auto *copyrightLabel = new QLabel(copyright, this);
    CreditsLabel = new QLabel(aboutCredits(), this);
    CreditsLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QPalette muted = CreditsLabel->palette();
    muted.setColor(QPalette::WindowText, muted.color(QPalette::PlaceholderText));
    CreditsLabel->setPalette(muted);
    OkButton = new QPushButton(QStringLiteral("OK"), this);
    OkButton->setDefault(true);
    OkButton->setMinimumWidth(85);

    auto *texts = new QVBoxLayout;
    texts->setSpacing(4);
    texts->addWidget(ProductLabel);
    texts->addWidget(VersionLabel);
    texts->addWidget(copyrightLabel);
    texts->addSpacing(10);
    texts->addWidget(CreditsLabel);
    auto *top = new QHBoxLayout;
    top->setSpacing(18);
    top->addWidget(picture);
    top->addLayout(texts, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(OkButton);
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(18, 18, 18, 14);
    outer->addLayout(top);
    outer->addSpacing(8);
    outer->addLayout(buttons);
    setFixedSize(outer->sizeHint().expandedTo(QSize(400, 0)));

    connect(OkButton, &QPushButton::clicked, this, &QDialog::accept);
}

void About1Click(const QString &productName, const QString &versionText, const QString &copyright,
                 QWidget *parent)
{
    TAboutBox box(productName, versionText, copyright, parent);
    box.exec();
}

} // namespace sentrel
