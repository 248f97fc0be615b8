#include "app/effects/CharacterPainter.h"

#include <QImage>
#include <gtest/gtest.h>

namespace {

const QSize kSize(112, 120);

// Pixels whose colour or coverage differs by more than `threshold` (of 255);
// the default ignores faint tints and counts only what an eye would notice.
int DifferingPixels(const QImage& a, const QImage& b, int threshold = 40)
{
    int count = 0;
    for (int y = 0; y < a.height(); ++y) {
        const auto* pa = reinterpret_cast<const QRgb*>(a.constScanLine(y));
        const auto* pb = reinterpret_cast<const QRgb*>(b.constScanLine(y));
        for (int x = 0; x < a.width(); ++x) {
            const int d = std::max({std::abs(qRed(pa[x]) - qRed(pb[x])), std::abs(qGreen(pa[x]) - qGreen(pb[x])),
                                    std::abs(qBlue(pa[x]) - qBlue(pb[x])), std::abs(qAlpha(pa[x]) - qAlpha(pb[x]))});
            if (d > threshold)
                ++count;
        }
    }
    return count;
}

int OpaquePixels(const QImage& image)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) > 128)
                ++count;
    return count;
}

const Animation kPlayable[] = {Animation::Announce, Animation::Think, Animation::Confused, Animation::Greet};

} // namespace

TEST(CharacterFrames, SameMomentGivesTheSamePicture)
{
    for (Animation a :
         {Animation::Idle, Animation::Announce, Animation::Think, Animation::Confused, Animation::Greet}) {
        const qint64 t = AnimationDurationMs(a) * 2 / 5;
        EXPECT_EQ(RenderCharacterFrame(a, t, kSize), RenderCharacterFrame(a, t, kSize))
            << AnimationName(a).toStdString();
    }
}

TEST(CharacterFrames, IdleShowsAFigureThatBreathesAndBlinks)
{
    const QImage rest = RenderCharacterFrame(Animation::Idle, 0, kSize);
    // The figure fills much of its window, and its corners stay clear.
    EXPECT_GT(OpaquePixels(rest), kSize.width() * kSize.height() / 5);
    EXPECT_EQ(qAlpha(rest.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(rest.pixel(kSize.width() - 1, 0)), 0);
    EXPECT_GT(DifferingPixels(rest, RenderCharacterFrame(Animation::Idle, 1000, kSize)), 20);
    EXPECT_GT(DifferingPixels(RenderCharacterFrame(Animation::Idle, 3600, kSize),
                              RenderCharacterFrame(Animation::Idle, 3660, kSize)),
              20);
}

TEST(CharacterFrames, EveryAnimationLooksClearlyUnlikeAnyIdleFrame)
{
    std::vector<QImage> idle;
    for (int t = 0; t < AnimationDurationMs(Animation::Idle); t += 200)
        idle.push_back(RenderCharacterFrame(Animation::Idle, t, kSize));
    const int visible = kSize.width() * kSize.height() * 3 / 100;
    for (Animation a : kPlayable) {
        for (int quarter = 1; quarter <= 3; ++quarter) {
            const qint64 t = AnimationDurationMs(a) * quarter / 4;
            const QImage frame = RenderCharacterFrame(a, t, kSize);
            int nearest = std::numeric_limits<int>::max();
            for (const QImage& still : idle)
                nearest = std::min(nearest, DifferingPixels(frame, still));
            EXPECT_GT(nearest, visible) << AnimationName(a).toStdString() << " at " << t << " ms";
        }
    }
}

TEST(CharacterFrames, AnimationsEndOnTheRestingPose)
{
    // No jump when the idle loop takes over again.
    const QImage rest = RenderCharacterFrame(Animation::Idle, 0, kSize);
    const int tolerance = kSize.width() * kSize.height() / 200;
    for (Animation a : kPlayable) {
        const QImage last = RenderCharacterFrame(a, AnimationDurationMs(a), kSize);
        EXPECT_LE(DifferingPixels(last, rest), tolerance) << AnimationName(a).toStdString();
    }
    // All but the entrance also start there; Announce pops up from almost nothing.
    for (Animation a : {Animation::Think, Animation::Confused, Animation::Greet})
        EXPECT_LE(DifferingPixels(RenderCharacterFrame(a, 0, kSize), rest), tolerance)
            << AnimationName(a).toStdString();
    EXPECT_LT(OpaquePixels(RenderCharacterFrame(Animation::Announce, 0, kSize)), OpaquePixels(rest) / 20);
}

TEST(CharacterFrames, MotionIsSmoothAtThirtyFramesASecond)
{
    // Frames one thirtieth of a second apart must all differ: a pose that
    // only changed in coarser steps would look jerky at that rate.
    for (Animation a : kPlayable) {
        const int duration = AnimationDurationMs(a);
        QImage previous = RenderCharacterFrame(a, duration / 10, kSize);
        int frames = 0;
        for (qint64 step = 1;; ++step) {
            const qint64 t = duration / 10 + step * 1000 / 30;
            if (t > duration * 9 / 10)
                break;
            const QImage frame = RenderCharacterFrame(a, t, kSize);
            EXPECT_GT(DifferingPixels(frame, previous, 8), 10)
                << AnimationName(a).toStdString() << " still at " << t << " ms";
            previous = frame;
            ++frames;
        }
        // Each runs 1 to 2 seconds, so the middle eight tenths hold 24 to 48 frames.
        EXPECT_GE(frames, 24) << AnimationName(a).toStdString();
        EXPECT_GE(duration, 1000);
        EXPECT_LE(duration, 2000);
    }
}
