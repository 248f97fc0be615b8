// The installed icons against the window's own icon: each PNG has the size
// its folder names, the SVG draws the same picture, and the sizes the
// window carries are pixel for pixel the installed ones.

#include "app/AppArtwork.h"

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <gtest/gtest.h>

#include <cstdlib>

namespace karsidan {
namespace {

const QString kIconRoot = QStringLiteral(KARSIDAN_ICON_DIR);
const QString kIconFile = QStringLiteral(KARSIDAN_APP_ID) + QStringLiteral(".png");

QImage InstalledPng(int size)
{
    return QImage(QStringLiteral("%1/%2x%2/apps/%3").arg(kIconRoot).arg(size).arg(kIconFile))
        .convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

QImage SvgAt(int size)
{
    QSvgRenderer svg(QStringLiteral("%1/scalable/apps/%2.svg").arg(kIconRoot, QStringLiteral(KARSIDAN_APP_ID)));
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    if (!svg.isValid())
        return {};
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    svg.render(&painter);
    return image;
}

// Mean absolute difference over all channels, 0 to 255.
double MeanDifference(const QImage& a, const QImage& b)
{
    double sum = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q))
                + std::abs(qAlpha(p) - qAlpha(q));
        }
    }
    return sum / (4.0 * a.width() * a.height());
}

TEST(InstalledIcons, EveryPngHasTheSizeItsFolderNames)
{
    const QStringList folders = QDir(kIconRoot).entryList({QStringLiteral("*x*")}, QDir::Dirs);
    ASSERT_GE(folders.size(), 6) << kIconRoot.toStdString();
    EXPECT_TRUE(folders.contains("16x16"));
    EXPECT_TRUE(folders.contains("256x256"));
    for (const QString& folder : folders) {
        const int size = folder.section('x', 0, 0).toInt();
        const QImage png = InstalledPng(size);
        ASSERT_FALSE(png.isNull()) << folder.toStdString();
        EXPECT_EQ(png.size(), QSize(size, size)) << folder.toStdString();
        EXPECT_TRUE(png.hasAlphaChannel()) << folder.toStdString();
        // Transparent around the drawing, opaque on the padlock.
        EXPECT_EQ(qAlpha(png.pixel(size - 1, 0)), 0) << folder.toStdString();
        EXPECT_EQ(qAlpha(png.pixel(size * 33 / 50, size * 44 / 50)), 255) << folder.toStdString();
    }
}

TEST(InstalledIcons, SvgDrawsWhatThePngsShow)
{
    for (int size : {16, 48, 256}) {
        const QImage svg = SvgAt(size);
        ASSERT_FALSE(svg.isNull()) << "the SVG does not load";
        const QImage png = InstalledPng(size);
        ASSERT_FALSE(png.isNull()) << size;
        // Only anti-aliased edges may differ a little.
        EXPECT_LT(MeanDifference(svg, png), 2.0) << size;
    }
    // A different picture is far off: the comparison can fail.
    QImage blank(48, 48, QImage::Format_ARGB32_Premultiplied);
    blank.fill(Qt::transparent);
    EXPECT_GT(MeanDifference(blank, InstalledPng(48)), 20.0);
}

TEST(InstalledIcons, WindowIconIsTheInstalledIcon)
{
    const QIcon icon = WindowIcon();
    for (int size : {16, 32, 64}) {
        const QImage window = icon.pixmap(size, size).toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
        ASSERT_EQ(window.size(), QSize(size, size));
        EXPECT_EQ(window, InstalledPng(size)) << size;
    }
}

} // namespace
} // namespace karsidan
