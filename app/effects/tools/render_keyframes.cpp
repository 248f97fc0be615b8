// Renders the assistant's key frames, one row per animation, into a PNG:
//   render_keyframes OUTPUT.png [CELL_PIXELS]
// Runs without a display (offscreen platform).

#include "app/effects/AnimationClip.h"
#include "app/effects/CharacterPainter.h"

#include <QGuiApplication>
#include <QPainter>
#include <QTextStream>

namespace {

constexpr int kFramesPerRow = 7;
constexpr int kLabelWidth = 96;

// Evenly spread over the animation; the idle row also catches the blink.
QList<qint64> KeyTimes(Animation animation)
{
    if (animation == Animation::Idle)
        return {0, 1000, 2000, 3000, 3600, 3660, 3900};
    QList<qint64> times;
    const int duration = AnimationDurationMs(animation);
    for (int c = 0; c < kFramesPerRow; ++c)
        times << qint64(duration) * c / (kFramesPerRow - 1);
    return times;
}

QImage RenderStrip(int cell)
{
    const QList<Animation> rows{Animation::Idle, Animation::Announce, Animation::Think, Animation::Confused,
                                Animation::Greet};
    const int cellHeight = cell * kCharacterCanvas.height() / kCharacterCanvas.width();
    const int captionHeight = 16;
    const int rowHeight = cellHeight + captionHeight + 6;
    QImage strip(kLabelWidth + kFramesPerRow * cell, rows.size() * rowHeight, QImage::Format_ARGB32_Premultiplied);
    strip.fill(QColor(0xf7, 0xf4, 0xee));

    QPainter p(&strip);
    p.setRenderHint(QPainter::Antialiasing);
    QFont title = p.font();
    title.setPixelSize(15);
    title.setBold(true);
    QFont caption = p.font();
    caption.setPixelSize(11);

    for (int r = 0; r < rows.size(); ++r) {
        const Animation animation = rows[r];
        const int top = r * rowHeight;
        if (r % 2 == 1)
            p.fillRect(0, top, strip.width(), rowHeight, QColor(0xee, 0xea, 0xe2));
        p.setPen(QColor(0x1d, 0x46, 0x50));
        p.setFont(title);
        p.drawText(QRect(8, top, kLabelWidth - 8, rowHeight), Qt::AlignVCenter | Qt::AlignLeft,
                   AnimationName(animation));
        const QList<qint64> times = KeyTimes(animation);
        for (int c = 0; c < kFramesPerRow; ++c) {
            const qint64 ms = times[c];
            const QImage frame = RenderCharacterFrame(animation, ms, QSize(cell, cellHeight));
            const int left = kLabelWidth + c * cell;
            p.drawImage(left, top + 3, frame);
            p.setFont(caption);
            p.setPen(QColor(0x55, 0x66, 0x6a));
            p.drawText(QRect(left, top + 3 + cellHeight, cell, captionHeight), Qt::AlignCenter,
                       QStringLiteral("%1 ms").arg(ms));
        }
    }
    return strip;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTextStream err(stderr);
    const QStringList args = app.arguments();
    if (args.size() < 2) {
        err << "usage: render_keyframes OUTPUT.png [CELL_PIXELS]\n";
        return 2;
    }
    bool ok = true;
    const int cell = args.size() > 2 ? args[2].toInt(&ok) : 112;
    if (!ok || cell < 32 || cell > 1024) {
        err << "cell size must be 32..1024 pixels\n";
        return 2;
    }
    if (!RenderStrip(cell).save(args[1])) {
        err << "cannot write " << args[1] << "\n";
        return 1;
    }
    return 0;
}
