// Renders the window icon into a hicolor icon tree, from the same drawing
// the window uses, so that the installed icons never drift from it:
//   render_icons OUTPUT_DIR ICON_NAME SIZE...
// writes OUTPUT_DIR/hicolor/scalable/apps/ICON_NAME.svg and
// OUTPUT_DIR/hicolor/NxN/apps/ICON_NAME.png for each SIZE N.
// Runs without a display (offscreen platform).

#include "app/AppArtwork.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgGenerator>
#include <QTextStream>

namespace {

QString AppsFolder(const QString& root, const QString& size)
{
    return QDir(root).filePath(QStringLiteral("hicolor/%1/apps").arg(size));
}

bool WriteSvg(const QString& path)
{
    QSvgGenerator svg;
    svg.setFileName(path);
    svg.setSize(QSize(karsidan::kWindowIconUnits, karsidan::kWindowIconUnits));
    svg.setViewBox(QRect(0, 0, karsidan::kWindowIconUnits, karsidan::kWindowIconUnits));
    svg.setTitle(QStringLiteral("KARSIDAN"));
    svg.setDescription(QStringLiteral("A padlock over a page of hex digits"));
    QPainter painter;
    if (!painter.begin(&svg))
        return false;
    karsidan::PaintWindowIcon(painter);
    return painter.end();
}

bool WritePng(const QString& path, int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(size / double(karsidan::kWindowIconUnits), size / double(karsidan::kWindowIconUnits));
        karsidan::PaintWindowIcon(painter);
    }
    return image.save(path, "PNG");
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTextStream err(stderr);
    const QStringList args = app.arguments();
    if (args.size() < 4 || args[2].isEmpty()) {
        err << "usage: render_icons OUTPUT_DIR ICON_NAME SIZE...\n";
        return 2;
    }
    const QString root = args[1];
    const QString name = args[2];
    QList<int> sizes;
    for (const QString& arg : args.mid(3)) {
        bool ok = false;
        const int size = arg.toInt(&ok);
        if (!ok || size < 8 || size > 1024) {
            err << "icon size must be 8..1024 pixels, not " << arg << "\n";
            return 2;
        }
        sizes << size;
    }

    const QString scalable = AppsFolder(root, QStringLiteral("scalable"));
    const QString svgPath = QDir(scalable).filePath(name + QStringLiteral(".svg"));
    if (!QDir().mkpath(scalable) || !WriteSvg(svgPath)) {
        err << "cannot write " << svgPath << "\n";
        return 1;
    }
    for (int size : sizes) {
        const QString folder = AppsFolder(root, QStringLiteral("%1x%1").arg(size));
        const QString path = QDir(folder).filePath(name + QStringLiteral(".png"));
        if (!QDir().mkpath(folder) || !WritePng(path, size)) {
            err << "cannot write " << path << "\n";
            return 1;
        }
    }
    return 0;
}
