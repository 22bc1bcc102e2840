#include "app/icons.h"
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace sentrel {

namespace {

// One palette for the whole set.
const QColor Paper(0xfa, 0xfb, 0xfd);
const QColor PaperEdge(0x7a, 0x86, 0x99);
const QColor Fold(0xd6, 0xdc, 0xe6);
const QColor Ink(0x9a, 0xa5, 0xb5);
const QColor Green(0x2e, 0x9d, 0x4f);
const QColor Blue(0x2f, 0x6f, 0xd0);
const QColor Orange(0xe8, 0x8a, 0x1a);
const QColor Red(0xd2, 0x3f, 0x3a);

// Everything is drawn on a 64-unit grid and scaled.
void drawSheet(QPainter &p, bool lines = true)
{
    QPainterPath sheet;
    sheet.moveTo(12, 4);
    sheet.lineTo(40, 4);
    sheet.lineTo(52, 16);
    sheet.lineTo(52, 60);
    sheet.lineTo(12, 60);
    sheet.closeSubpath();
    p.setPen(QPen(PaperEdge, 2));
    p.setBrush(Paper);
    p.drawPath(sheet);
    QPainterPath fold;
    fold.moveTo(40, 4);
    fold.lineTo(40, 16);
    fold.lineTo(52, 16);
    fold.closeSubpath();
    p.setBrush(Fold);
    p.drawPath(fold);
    if (lines) {
        p.setPen(QPen(Ink, 2.5, Qt::SolidLine, Qt::RoundCap));
        for (int y = 24; y <= 48; y += 8)
            p.drawLine(19, y, y == 24 ? 36 : 45, y);
    }
}

void drawBadge(QPainter &p, const QColor &color, QPointF centre = {44, 46}, qreal radius = 15)
{
    p.setPen(QPen(color.darker(125), 2));
    p.setBrush(color);
    p.drawEllipse(centre, radius, radius);
}

void drawPlus(QPainter &p, QPointF c)
{
    p.setPen(QPen(Qt::white, 4.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(c.x() - 7, c.y()), QPointF(c.x() + 7, c.y()));
    p.drawLine(QPointF(c.x(), c.y() - 7), QPointF(c.x(), c.y() + 7));
}

void drawArrow(QPainter &p, QPointF c, bool down)
{
    const qreal s = down ? 1 : -1;
    p.setPen(QPen(Qt::white, 4.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawLine(QPointF(c.x(), c.y() - 8 * s), QPointF(c.x(), c.y() + 7 * s));
    p.drawLine(QPointF(c.x() - 7, c.y() + 1 * s), QPointF(c.x(), c.y() + 8 * s));
    p.drawLine(QPointF(c.x() + 7, c.y() + 1 * s), QPointF(c.x(), c.y() + 8 * s));
}

void drawTick(QPainter &p, qreal scale, QPointF c)
{
    QPainterPath tick;
    tick.moveTo(c.x() - 8 * scale, c.y());
    tick.lineTo(c.x() - 2 * scale, c.y() + 6 * scale);
    tick.lineTo(c.x() + 9 * scale, c.y() - 7 * scale);
    p.setPen(QPen(Qt::white, 5 * scale, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(tick);
}

void drawGlyphDisc(QPainter &p, const QColor &color, const QString &glyph)
{
    drawBadge(p, color, {32, 32}, 27);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(38);
    font.setBold(true);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRectF(5, 5, 54, 54), Qt::AlignCenter, glyph);
}

void drawPencil(QPainter &p)
{
    p.save();
    p.translate(42, 40);
    p.rotate(45);
    p.setPen(QPen(Orange.darker(140), 1.5));
    p.setBrush(Orange);
    p.drawRect(QRectF(-5, -20, 10, 28));
    p.setBrush(Red);
    p.drawRect(QRectF(-5, -26, 10, 6));
    QPainterPath tip;
    tip.moveTo(-5, 8);
    tip.lineTo(5, 8);
    tip.lineTo(0, 18);
    tip.closeSubpath();
    p.setBrush(QColor(0xf3, 0xd9, 0xb1));
    p.drawPath(tip);
    p.restore();
}

void drawEnvelope(QPainter &p)
{
    p.setPen(QPen(PaperEdge, 2));
    p.setBrush(Paper);
    p.drawRoundedRect(QRectF(5, 14, 54, 38), 4, 4);
    p.setPen(QPen(Blue, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    QPainterPath flap;
    flap.moveTo(8, 18);
    flap.lineTo(32, 36);
    flap.lineTo(56, 18);
    p.drawPath(flap);
}

void drawExit(QPainter &p)
{
    p.setPen(QPen(PaperEdge, 2));
    p.setBrush(Fold);
    p.drawRoundedRect(QRectF(10, 6, 30, 52), 3, 3);
    drawBadge(p, Red, {44, 32}, 14);
    p.setPen(QPen(Qt::white, 4.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(38, 32), QPointF(51, 32));
    p.drawLine(QPointF(46, 26), QPointF(51, 32));
    p.drawLine(QPointF(46, 38), QPointF(51, 32));
}

void drawBell(QPainter &p)
{
    QPainterPath bell;
    bell.moveTo(14, 46);
    bell.cubicTo(20, 40, 16, 12, 32, 10);
    bell.cubicTo(48, 12, 44, 40, 50, 46);
    bell.closeSubpath();
    p.setPen(QPen(Orange.darker(140), 2));
    p.setBrush(Orange);
    p.drawPath(bell);
    p.drawEllipse(QPointF(32, 51), 5, 5);
}

void drawProgram(QPainter &p)
{
    // An eye over a sheet: the watcher.
    drawSheet(p, false);
    QPainterPath eye;
    eye.moveTo(14, 36);
    eye.quadTo(32, 18, 50, 36);
    eye.quadTo(32, 54, 14, 36);
    p.setPen(QPen(Blue.darker(130), 2));
    p.setBrush(Qt::white);
    p.drawPath(eye);
    p.setBrush(Blue);
    p.drawEllipse(QPointF(32, 36), 8, 8);
    p.setBrush(Qt::white);
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(29, 33), 2.5, 2.5);
}

} // namespace

void drawAppIcon(QPainter &p, AppIcon which)
{
    switch (which) {
    case AppIcon::PageAdd:
        drawSheet(p);
        drawBadge(p, Green);
        drawPlus(p, {44, 46});
        break;
    case AppIcon::PageDown:
        drawSheet(p);
        drawBadge(p, Blue);
        drawArrow(p, {44, 46}, true);
        break;
    case AppIcon::PageUp:
        drawSheet(p);
        drawBadge(p, Orange);
        drawArrow(p, {44, 46}, false);
        break;
    case AppIcon::Check:
        drawBadge(p, Green, {32, 32}, 27);
        drawTick(p, 1.7, {32, 34});
        break;
    case AppIcon::Edit:
        drawSheet(p);
        drawPencil(p);
        break;
    case AppIcon::Envelope:
        drawEnvelope(p);
        break;
    case AppIcon::Info:
        drawGlyphDisc(p, Blue, QStringLiteral("i"));
        break;
    case AppIcon::Question:
        drawGlyphDisc(p, Green, QStringLiteral("?"));
        break;
    case AppIcon::Exit:
        drawExit(p);
        break;
    case AppIcon::ListTab:
        drawSheet(p);
        break;
    case AppIcon::ActionTab:
        drawBell(p);
        break;
    case AppIcon::LogTab:
        drawSheet(p);
        drawBadge(p, Blue, {44, 46}, 13);
        p.setPen(QPen(Qt::white, 3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(44, 46), QPointF(44, 39));
        p.drawLine(QPointF(44, 46), QPointF(49, 49));
        break;
    case AppIcon::Program:
        drawProgram(p);
        break;
    }
}

QImage renderAppIcon(AppIcon which, int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.scale(size / 64.0, size / 64.0);
    drawAppIcon(p, which);
    return image;
}

QIcon appIcon(AppIcon which)
{
    QIcon icon;
    for (int size : {16, 24, 32, 64})
        icon.addPixmap(QPixmap::fromImage(renderAppIcon(which, size)));
    return icon;
}

} // namespace sentrel
