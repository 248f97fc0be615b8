#include "app/effects/CharacterPainter.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr double kPi = std::numbers::pi;

// Palette: teal body, night-blue face screen, mint light, amber accents.
const QColor kOutline(0x1d, 0x46, 0x50);
const QColor kBodyLight(0x6f, 0xdc, 0xca);
const QColor kBodyDark(0x1f, 0x9a, 0x8a);
const QColor kFeet(0x2a, 0x6f, 0x78);
const QColor kScreen(0x22, 0x31, 0x44);
const QColor kMint(0x8c, 0xf7, 0xe6);
const QColor kAmber(0xff, 0xb9, 0x30);
const QColor kPink(0xff, 0x86, 0xa6);
const QColor kSky(0x8f, 0xd8, 0xff);

// The figure stands on this point of the canvas.
constexpr QPointF kGround(66.0, 144.0);
// Body centre, relative to the ground point.
constexpr QPointF kBodyCentre(0.0, -48.0);
constexpr double kBodyRx = 38.0;
constexpr double kBodyRy = 40.0;
constexpr double kArmLength = 25.0;
constexpr double kArmWidth = 11.0;

QPen OutlinePen(double width = 2.2) { return QPen(kOutline, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin); }

QColor WithAlpha(QColor c, double alpha)
{
    c.setAlphaF(static_cast<float>(std::clamp(alpha, 0.0, 1.0) * c.alphaF()));
    return c;
}

QPainterPath Star(QPointF centre, double radius)
{
    QPainterPath path;
    const double inner = radius * 0.38;
    for (int i = 0; i < 8; ++i) {
        const double r = (i % 2 == 0) ? radius : inner;
        const double a = i * kPi / 4.0 - kPi / 2.0;
        const QPointF p(centre.x() + r * std::cos(a), centre.y() + r * std::sin(a));
        if (i == 0)
            path.moveTo(p);
        else
            path.lineTo(p);
    }
    path.closeSubpath();
    return path;
}

void PaintShadow(QPainter& p, const CharacterPose& pose)
{
    const double shrink = std::clamp(1.0 - pose.lift / 30.0, 0.4, 1.0);
    const double w = 64.0 * pose.scale * shrink;
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, static_cast<int>(45 * shrink)));
    p.drawEllipse(QPointF(kGround.x(), kGround.y() - 1.0), w / 2.0, 4.5 * shrink);
}

void PaintSparkles(QPainter& p, const CharacterPose& pose)
{
    if (pose.sparkles <= 0.0)
        return;
    const QColor colours[] = {kAmber, kPink, kSky};
    const QPointF centre = kGround + kBodyCentre;
    constexpr int kCount = 7;
    for (int i = 0; i < kCount; ++i) {
        const double a = 2.0 * kPi * (pose.sparklePhase + double(i) / kCount);
        const double s = std::sin(a);
        // Stars fade out towards the floor so none sits under the feet.
        const double fade = std::clamp((0.5 - s) * 2.0, 0.0, 1.0);
        const double alpha = pose.sparkles * fade;
        if (alpha <= 0.0)
            continue;
        const double reach = 40.0 + 18.0 * pose.sparkles;
        const QPointF at(centre.x() + reach * 1.08 * std::cos(a), centre.y() + reach * s);
        const double size = (4.5 + 1.8 * std::sin(a * 3.0 + i)) * (0.6 + 0.4 * pose.sparkles);
        p.setPen(QPen(WithAlpha(kOutline, alpha * 0.7), 1.0));
        p.setBrush(WithAlpha(colours[i % 3], alpha));
        p.drawPath(Star(at, size));
    }
}

void PaintArm(QPainter& p, QPointF shoulder, double degreesFromHanging, bool viewerRight)
{
    p.save();
    p.translate(shoulder);
    // Qt turns clockwise; outward is +x for the viewer's right arm.
    p.rotate(viewerRight ? -degreesFromHanging : degreesFromHanging);
    p.setPen(OutlinePen());
    p.setBrush(kBodyDark);
    p.drawRoundedRect(QRectF(-kArmWidth / 2.0, -2.0, kArmWidth, kArmLength), 5.5, 5.5);
    p.setBrush(kBodyLight);
    p.drawEllipse(QPointF(0.0, kArmLength), 6.5, 6.5);
    p.restore();
}

void PaintEye(QPainter& p, QPointF centre, const CharacterPose& pose)
{
    if (pose.happyEyes >= 0.5) {
        QPainterPath arc;
        arc.moveTo(centre + QPointF(-5.5, 2.5));
        arc.quadTo(centre + QPointF(0.0, -6.5), centre + QPointF(5.5, 2.5));
        p.setPen(QPen(kMint, 2.8, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        p.drawPath(arc);
        return;
    }
    const double open = pose.eyeOpen * (1.0 - 2.0 * pose.happyEyes);
    const double ry = std::max(0.9, 7.0 * open);
    p.setPen(Qt::NoPen);
    p.setBrush(kMint);
    p.drawEllipse(centre, 5.2, ry);
    if (open > 0.35) {
        p.setBrush(QColor(255, 255, 255, 230));
        p.drawEllipse(centre + QPointF(1.6, -2.4 * open), 1.6, 1.6);
    }
}

void PaintBrow(QPainter& p, QPointF eye, double raise, bool viewerRight)
{
    const double y = eye.y() - 10.0 - 3.0 * raise;
    const double outer = viewerRight ? 1.0 : -1.0;
    const QPointF inner(eye.x() - outer * 4.5, y + 0.6 * raise);
    const QPointF outerEnd(eye.x() + outer * 4.5, y - 1.6 * raise);
    p.setPen(QPen(kMint, 2.0, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(inner, outerEnd);
}

void PaintMouth(QPainter& p, QPointF centre, const CharacterPose& pose)
{
    const double half = 6.5;
    const double curve = pose.smile * 5.0;
    const QPointF left = centre + QPointF(-half, -pose.smile * 1.5);
    const QPointF right = centre + QPointF(half, -pose.smile * 1.5);
    if (pose.mouthOpen > 0.05) {
        QPainterPath mouth;
        mouth.moveTo(left);
        mouth.quadTo(centre + QPointF(0.0, curve + 9.0 * pose.mouthOpen), right);
        mouth.quadTo(centre + QPointF(0.0, curve * 0.3 - 1.0), left);
        p.setPen(QPen(kMint, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(WithAlpha(kPink, 0.9));
        p.drawPath(mouth);
        return;
    }
    QPainterPath mouth;
    mouth.moveTo(left);
    mouth.quadTo(centre + QPointF(0.0, curve), right);
    p.setPen(QPen(kMint, 2.2, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawPath(mouth);
}

void PaintFace(QPainter& p, const CharacterPose& pose)
{
    const QRectF screen(-27.0, -73.0, 54.0, 36.0);
    QLinearGradient glass(screen.topLeft(), screen.bottomLeft());
    glass.setColorAt(0.0, kScreen.lighter(125));
    glass.setColorAt(1.0, kScreen);
    p.setPen(OutlinePen(2.0));
    p.setBrush(glass);
    p.drawRoundedRect(screen, 15.0, 15.0);

    // Cheeks glow softly on the glass.
    p.setPen(Qt::NoPen);
    p.setBrush(WithAlpha(kPink, 0.45 + 0.3 * pose.happyEyes));
    p.drawEllipse(QPointF(-18.5, -47.5), 4.2, 2.6);
    p.drawEllipse(QPointF(18.5, -47.5), 4.2, 2.6);

    const QPointF look(3.0 * pose.lookX, 2.5 * pose.lookY);
    const QPointF leftEye = QPointF(-11.5, -58.0) + look;
    const QPointF rightEye = QPointF(11.5, -58.0) + look;
    PaintEye(p, leftEye, pose);
    PaintEye(p, rightEye, pose);
    PaintBrow(p, leftEye, pose.browLeft, false);
    PaintBrow(p, rightEye, pose.browRight, true);
    PaintMouth(p, QPointF(1.5 * pose.lookX, -45.0), pose);

    // A sheen across the top of the glass.
    QPainterPath sheen;
    sheen.moveTo(-19.0, -69.0);
    sheen.quadTo(-8.0, -72.0, 4.0, -70.5);
    p.setPen(QPen(QColor(255, 255, 255, 70), 2.0, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawPath(sheen);
}

void PaintAntenna(QPainter& p, const CharacterPose& pose)
{
    const QPointF bulb(0.0, -102.0);
    p.setPen(QPen(kOutline, 3.0, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(0.0, -87.0), QPointF(0.0, -97.0));
    const double halo = 6.0 + 9.0 * pose.glow;
    QRadialGradient glow(bulb, halo);
    glow.setColorAt(0.0, WithAlpha(kAmber, 0.75 * pose.glow));
    glow.setColorAt(1.0, WithAlpha(kAmber, 0.0));
    p.setPen(Qt::NoPen);
    p.setBrush(glow);
    p.drawEllipse(bulb, halo, halo);
    p.setPen(OutlinePen(2.0));
    p.setBrush(kAmber.lighter(static_cast<int>(100 + 25 * pose.glow)));
    p.drawEllipse(bulb, 5.2, 5.2);
}

// Feet stay flat on the floor while the body above them leans.
void PaintFeet(QPainter& p)
{
    p.setPen(OutlinePen());
    p.setBrush(kFeet);
    p.drawEllipse(QPointF(-15.0, -5.5), 11.0, 6.0);
    p.drawEllipse(QPointF(15.0, -5.5), 11.0, 6.0);
}

void PaintBody(QPainter& p, const CharacterPose& pose)
{
    PaintAntenna(p, pose);

    QRadialGradient shade(kBodyCentre + QPointF(-12.0, -16.0), 62.0);
    shade.setColorAt(0.0, kBodyLight.lighter(110));
    shade.setColorAt(0.55, kBodyLight);
    shade.setColorAt(1.0, kBodyDark);
    p.setPen(OutlinePen(2.4));
    p.setBrush(shade);
    p.drawEllipse(kBodyCentre, kBodyRx, kBodyRy);

    // Belly light, echoing the antenna.
    p.setPen(OutlinePen(1.6));
    p.setBrush(kAmber.lighter(static_cast<int>(100 + 20 * pose.glow)));
    p.drawEllipse(QPointF(0.0, -22.0), 4.0, 4.0);
    p.setPen(QPen(WithAlpha(kOutline, 0.5), 1.4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(-10.0, -22.0), QPointF(-6.5, -22.0));
    p.drawLine(QPointF(6.5, -22.0), QPointF(10.0, -22.0));

    PaintFace(p, pose);

    const double shoulderY = -46.0;
    PaintArm(p, QPointF(-33.0, shoulderY), pose.leftArm, false);
    PaintArm(p, QPointF(33.0, shoulderY), pose.rightArm, true);
}

void PaintQuestionMark(QPainter& p, const CharacterPose& pose)
{
    if (pose.question <= 0.0)
        return;
    p.save();
    p.translate(120.0, 42.0 + pose.questionBob);
    p.scale(pose.question, pose.question);
    p.rotate(12.0);
    QPainterPath hook;
    const QRectF round(-7.5, -20.0, 15.0, 15.0);
    hook.arcMoveTo(round, 160.0);
    hook.arcTo(round, 160.0, -250.0);
    hook.lineTo(0.0, 0.5);
    for (const auto& [colour, width] : {std::pair{kOutline, 8.0}, std::pair{kAmber, 4.6}}) {
        p.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawPath(hook);
    }
    p.setPen(OutlinePen(1.7));
    p.setBrush(kAmber);
    p.drawEllipse(QPointF(0.0, 8.0), 3.2, 3.2);
    p.restore();
}

// Uniting the puffs is the dearest step of a frame; the outline never changes.
const QPainterPath& ThoughtCloud()
{
    static const QPainterPath cloud = [] {
        QPainterPath united;
        const QPointF puffs[] = {{-12.0, 2.0}, {-5.0, -6.0}, {6.0, -6.5}, {13.0, 1.0}, {5.0, 7.0}, {-6.0, 7.0}};
        for (const QPointF& c : puffs) {
            QPainterPath puff;
            puff.addEllipse(c, 9.0, 8.0);
            united = united.united(puff);
        }
        return united;
    }();
    return cloud;
}

void PaintThought(QPainter& p, const CharacterPose& pose)
{
    if (pose.thought <= 0.0)
        return;
    const double a = pose.thought;
    p.save();
    p.setPen(OutlinePen(1.6));
    p.setBrush(QColor(255, 255, 255, static_cast<int>(235 * a)));
    p.drawEllipse(QPointF(95.0, 58.0), 2.6 * a, 2.6 * a);
    p.drawEllipse(QPointF(102.0, 47.0), 3.8 * a, 3.8 * a);

    p.translate(116.0, 26.0);
    p.scale(a, a);
    p.setPen(OutlinePen(1.8));
    p.setBrush(QColor(255, 255, 255, 240));
    p.drawPath(ThoughtCloud());
    p.setPen(Qt::NoPen);
    for (int i = 0; i < pose.thoughtDots; ++i) {
        p.setBrush(i == pose.thoughtDots - 1 ? kAmber.darker(115) : kOutline);
        p.drawEllipse(QPointF(-8.0 + 8.0 * i, 1.0), 2.5, 2.5);
    }
    p.restore();
}

} // namespace

void PaintCharacter(QPainter& painter, const QRectF& target, const CharacterPose& pose)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    const double scale = std::min(target.width() / kCharacterCanvas.width(),
                                  target.height() / kCharacterCanvas.height());
    painter.translate(target.center());
    painter.scale(scale, scale);
    painter.translate(-kCharacterCanvas.width() / 2.0, -kCharacterCanvas.height() / 2.0);

    PaintShadow(painter, pose);
    PaintSparkles(painter, pose);

    painter.save();
    painter.translate(kGround.x(), kGround.y() - pose.lift);
    painter.scale(pose.scale / std::sqrt(pose.squash), pose.scale * pose.squash);
    PaintFeet(painter);
    painter.translate(kBodyCentre);
    painter.rotate(pose.tilt);
    painter.translate(-kBodyCentre);
    PaintBody(painter, pose);
    painter.restore();

    PaintThought(painter, pose);
    PaintQuestionMark(painter, pose);
    painter.restore();
}

QImage RenderCharacterFrame(Animation animation, qint64 ms, QSize size)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    PaintCharacter(painter, QRectF(QPointF(0, 0), QSizeF(size)), PoseAt(animation, ms));
    return image;
}
