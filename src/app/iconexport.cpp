// Build-time tool: writes the program's icon for the desktop's icon theme,
// drawn by the same code as the window's icon, so that the menu entry, the
// window and the tray always show the same picture.
//
//   sentrel_icon_export OUTPUT_FOLDER
//
// writes OUTPUT_FOLDER/scalable/apps/sentrel.svg and
// OUTPUT_FOLDER/NxN/apps/sentrel.png for the usual theme sizes.
#include "app/icons.h"
#include <QDir>
#include <QGuiApplication>
#include <QPainter>
#include <QSvgGenerator>
#include <cstdio>

namespace {

constexpr int ThemeSizes[] = {16, 22, 24, 32, 48, 64, 128, 256, 512};

bool writeSvg(const QString &path)
{
    QSvgGenerator svg;
    svg.setFileName(path);
    svg.setSize(QSize(64, 64));
    svg.setViewBox(QRect(0, 0, 64, 64));
    svg.setTitle(QStringLiteral("Sentrel"));
    svg.setDescription(QStringLiteral("An eye over a sheet: the watcher."));
    QPainter p;
    if (!p.begin(&svg))
        return false;
    p.setRenderHint(QPainter::Antialiasing);
    sentrel::drawAppIcon(p, sentrel::AppIcon::Program);
    return p.end();
}

} // namespace

int main(int argc, char **argv)
{
    // The generator and the images need no window system.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: sentrel_icon_export OUTPUT_FOLDER\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    const QString scalable = out.filePath(QStringLiteral("scalable/apps"));
    if (!QDir().mkpath(scalable) || !writeSvg(scalable + QStringLiteral("/sentrel.svg"))) {
        std::fprintf(stderr, "sentrel_icon_export: cannot write %s\n", qPrintable(scalable));
        return 1;
    }
    for (int size : ThemeSizes) {
        const QString folder = out.filePath(QStringLiteral("%1x%1/apps").arg(size));
        const QString file = folder + QStringLiteral("/sentrel.png");
        if (!QDir().mkpath(folder) ||
            !sentrel::renderAppIcon(sentrel::AppIcon::Program, size).save(file, "PNG")) {
            std::fprintf(stderr, "sentrel_icon_export: cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
