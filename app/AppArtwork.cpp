#include "app/AppArtwork.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <functional>

namespace karsidan {

namespace {

constexpr int kToolbarSize = 16;

QPixmap Draw(int size, const std::function<void(QPainter&)>& paint)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    paint(painter);
    return pixmap;
}

void DrawPage(QPainter& p)
{
    QPainterPath page;
    page.moveTo(3, 1);
    page.lineTo(10, 1);
    page.lineTo(13, 4);
    page.lineTo(13, 15);
    page.lineTo(3, 15);
    page.closeSubpath();
    p.setPen(QPen(QColor(90, 90, 90), 1));
    p.setBrush(Qt::white);
    p.drawPath(page);
    p.drawLine(QPointF(10, 1), QPointF(10, 4));
    p.drawLine(QPointF(10, 4), QPointF(13, 4));
}

QIcon ThemeOr(const char* name, const std::function<void(QPainter&)>& paint)
{
    QIcon themed = QIcon::fromTheme(QString::fromLatin1(name));
    if (!themed.isNull())
        return themed;
    return QIcon(Draw(kToolbarSize, paint));
}

} // namespace

QIcon NewDocumentIcon()
{
    return ThemeOr("document-new", [](QPainter& p) {
        DrawPage(p);
        p.setPen(QPen(QColor(230, 170, 0), 1.5));
        p.drawLine(QPointF(6, 8), QPointF(10, 8));
        p.drawLine(QPointF(8, 6), QPointF(8, 10));
    });
}

QIcon OpenDocumentIcon()
{
    return ThemeOr("document-open", [](QPainter& p) {
        p.setPen(QPen(QColor(150, 110, 20), 1));
        p.setBrush(QColor(240, 200, 80));
        p.drawRect(QRectF(1.5, 4.5, 13, 10));
        p.setBrush(QColor(250, 220, 120));
        QPolygonF flap;
        flap << QPointF(1.5, 14.5) << QPointF(4.5, 7.5) << QPointF(15.5, 7.5) << QPointF(14.5, 14.5);
        p.drawPolygon(flap);
    });
}

QIcon SaveDocumentIcon()
{
    return ThemeOr("document-save", [](QPainter& p) {
        p.setPen(QPen(QColor(30, 50, 110), 1));
        p.setBrush(QColor(60, 90, 170));
        p.drawRoundedRect(QRectF(1.5, 1.5, 13, 13), 1.5, 1.5);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(4.5, 1.5, 7, 5));
        p.setBrush(QColor(200, 200, 200));
        p.drawRect(QRectF(4.5, 9.5, 7, 5));
    });
}

namespace {

void DrawEye(QPainter& p)
{
    QPainterPath lids;
    lids.moveTo(1.5, 8);
    lids.quadTo(8, 1, 14.5, 8);
    lids.quadTo(8, 15, 1.5, 8);
    p.setPen(QPen(QColor(60, 60, 60), 1.2));
    p.setBrush(Qt::white);
    p.drawPath(lids);
    p.setBrush(QColor(60, 60, 60));
    p.drawEllipse(QPointF(8, 8), 2.2, 2.2);
}

} // namespace

QIcon KeyShownIcon() { return QIcon(Draw(kToolbarSize, DrawEye)); }

QIcon KeyHiddenIcon()
{
    return QIcon(Draw(kToolbarSize, [](QPainter& p) {
        DrawEye(p);
        p.setPen(QPen(QColor(170, 30, 30), 1.6));
        p.drawLine(QPointF(2.5, 14), QPointF(13.5, 2));
    }));
}

void PaintWindowIcon(QPainter& p)
{
    // Page with hex rows.
    p.setPen(QPen(QColor(80, 80, 80), 1.5));
    p.setBrush(QColor(250, 250, 245));
    p.drawRect(QRectF(4, 2, 30, 40));
    p.setPen(QPen(QColor(120, 140, 180), 2));
    for (int row = 0; row < 5; ++row)
        p.drawLine(QPointF(9, 9 + row * 6), QPointF(29, 9 + row * 6));
    // Padlock.
    p.setPen(QPen(QColor(120, 80, 0), 4));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(24, 16, 18, 20), 0, 180 * 16);
    p.setPen(QPen(QColor(120, 80, 0), 1.5));
    p.setBrush(QColor(230, 170, 20));
    p.drawRoundedRect(QRectF(20, 26, 26, 21), 3, 3);
    p.setBrush(QColor(90, 60, 0));
    p.drawEllipse(QPointF(33, 34), 2.5, 2.5);
    p.drawRect(QRectF(32, 35, 2, 6));
}

QIcon WindowIcon()
{
    QIcon icon;
    for (int size : {16, 32, 50, 64}) {
        icon.addPixmap(Draw(size, [size](QPainter& p) {
            p.scale(size / double(kWindowIconUnits), size / double(kWindowIconUnits));
            PaintWindowIcon(p);
        }));
    }
    return icon;
}

} // namespace karsidan
