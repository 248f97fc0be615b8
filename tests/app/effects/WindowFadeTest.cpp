#include "app/effects/WindowFade.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

// The offscreen platform warns on every opacity change it cannot show.
class QuietOpacityWarnings {
public:
    QuietOpacityWarnings() { previous_ = qInstallMessageHandler(&Filter); }
    ~QuietOpacityWarnings() { qInstallMessageHandler(previous_); }

private:
    static void Filter(QtMsgType type, const QMessageLogContext& context, const QString& text)
    {
        if (!text.contains(QLatin1String("window opacity")))
            previous_(type, context, text);
    }
    static inline QtMessageHandler previous_ = nullptr;
};

std::unique_ptr<QWidget> ShownWindow()
{
    auto window = std::make_unique<QWidget>();
    window->resize(200, 100);
    window->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    return window;
}

} // namespace

TEST(WindowFade, BlendsOpacityDownToZeroThenHides)
{
    auto window = ShownWindow();
    auto* fade = new WindowFade(window.get(), 300);
    fade->SetMode(WindowFade::Mode::Blend);
    QuietOpacityWarnings quiet;
    std::vector<double> seen;
    double lastWindowOpacity = 1.0;
    QObject::connect(fade, &WindowFade::OpacityChanged, fade, [&](double opacity) {
        // The window itself carries each value (kept in 8 bits) as it is announced.
        EXPECT_NEAR(window->windowOpacity(), opacity, 1.0 / 255);
        seen.push_back(opacity);
        lastWindowOpacity = window->windowOpacity();
    });
    QSignalSpy finished(fade, &WindowFade::Finished);

    fade->Start();
    EXPECT_TRUE(fade->IsRunning());
    EXPECT_TRUE(window->isVisible());
    ASSERT_TRUE(finished.wait(3000));

    ASSERT_GE(seen.size(), 3u);
    EXPECT_DOUBLE_EQ(seen.back(), 0.0);
    EXPECT_DOUBLE_EQ(lastWindowOpacity, 0.0);
    EXPECT_TRUE(std::is_sorted(seen.rbegin(), seen.rend()));
    EXPECT_TRUE(std::any_of(seen.begin(), seen.end(), [](double o) { return o > 0.1 && o < 0.9; }));
    EXPECT_TRUE(fade->IsFinished());
    EXPECT_FALSE(fade->IsRunning());
    EXPECT_DOUBLE_EQ(window->windowOpacity(), 0.0);
}

TEST(WindowFade, LeavesClosingToTheOwner)
{
    // A window hidden before close() does not count as the last window
    // closing, and the program would not end; so the fade must not hide it.
    auto window = ShownWindow();
    auto* fade = new WindowFade(window.get(), 100);
    fade->SetMode(WindowFade::Mode::Blend);
    QuietOpacityWarnings quiet;
    bool visibleAtFinish = false;
    QObject::connect(fade, &WindowFade::Finished, window.get(), [&] {
        visibleAtFinish = window->isVisible();
        window->close();
    });
    QSignalSpy finished(fade, &WindowFade::Finished);
    fade->Start();
    ASSERT_TRUE(finished.wait(3000));
    EXPECT_TRUE(visibleAtFinish);
    EXPECT_FALSE(window->isVisible());
}

TEST(WindowFade, EventLoopKeepsRunningWhileFading)
{
    auto window = ShownWindow();
    auto* fade = new WindowFade(window.get(), 400);
    fade->SetMode(WindowFade::Mode::Blend);
    QuietOpacityWarnings quiet;
    int ticks = 0;
    QTimer other;
    QObject::connect(&other, &QTimer::timeout, [&] { ++ticks; });
    other.start(20);

    QSignalSpy finished(fade, &WindowFade::Finished);
    QElapsedTimer clock;
    clock.start();
    fade->Start(); // returns before the fade is over
    EXPECT_LT(clock.elapsed(), 100);
    EXPECT_TRUE(finished.isEmpty());
    ASSERT_TRUE(finished.wait(3000));
    EXPECT_GE(clock.elapsed(), 400);
    EXPECT_GE(ticks, 5);
}

TEST(WindowFade, WithoutBlendingTheTimeStillPasses)
{
    auto window = ShownWindow();
    auto* fade = new WindowFade(window.get(), 250);
    fade->SetMode(WindowFade::Mode::WaitOnly);
    QSignalSpy opacity(fade, &WindowFade::OpacityChanged);
    QSignalSpy finished(fade, &WindowFade::Finished);
    QElapsedTimer clock;
    clock.start();
    fade->Start();
    ASSERT_TRUE(finished.wait(3000));
    EXPECT_GE(clock.elapsed(), 250);
    EXPECT_TRUE(opacity.isEmpty());
    EXPECT_DOUBLE_EQ(window->windowOpacity(), 1.0);
}

TEST(WindowFade, StartsOnlyOnceAndFinishesOnce)
{
    auto window = ShownWindow();
    auto* fade = new WindowFade(window.get(), 50);
    QSignalSpy finished(fade, &WindowFade::Finished);
    fade->Start();
    fade->Start();
    ASSERT_TRUE(finished.wait(2000));
    fade->Start();
    QTest::qWait(150);
    EXPECT_EQ(finished.size(), 1);
}

TEST(WindowFade, SurvivesTheWindowGoingMidway)
{
    auto window = ShownWindow();
    QPointer<WindowFade> fade = new WindowFade(window.get(), 200);
    fade->SetMode(WindowFade::Mode::Blend);
    QuietOpacityWarnings quiet;
    fade->Start();
    QTest::qWait(50);
    window.reset();
    EXPECT_TRUE(fade.isNull());
    QTest::qWait(250); // the animation's owner is gone; nothing fires into freed memory
}

TEST(WindowFade, OffscreenCannotBlendSoItWaits)
{
    // The tests run on the offscreen platform, which has no window opacity.
    EXPECT_EQ(WindowFade::ModeForPlatform(), WindowFade::Mode::WaitOnly);
    QWidget window;
    EXPECT_EQ(WindowFade(&window).GetMode(), WindowFade::Mode::WaitOnly);
}

TEST(WindowFade, DefaultFadeTakesThreeSeconds)
{
    auto window = ShownWindow();
    auto* fade = new WindowFade(window.get());
    EXPECT_EQ(fade->DurationMs(), 3000);
    QSignalSpy finished(fade, &WindowFade::Finished);
    QElapsedTimer clock;
    clock.start();
    fade->Start();
    EXPECT_FALSE(finished.wait(2800));
    ASSERT_TRUE(finished.wait(2000));
    EXPECT_GE(clock.elapsed(), 3000);
    EXPECT_LT(clock.elapsed(), 4500);
}
