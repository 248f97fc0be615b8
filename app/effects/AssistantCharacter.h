#pragma once
// The assistant on screen: a small frameless, see-through, always-on-top
// tool window that never takes the focus, showing the robot as it plays its
// queue. Placed once; it does not follow the main window.

#include "app/effects/AnimationQueue.h"

#include <QWidget>
#include <functional>

class QTimer;

class AssistantCharacter : public QWidget {
    Q_OBJECT
public:
    // Milliseconds on a monotonic clock; injectable so tests step time by hand.
    using Clock = std::function<qint64()>;

    // About 60 frames a second while an animation plays; the slow idle
    // breathing needs only 30, which halves the cost of standing still.
    static constexpr int kPlayingFrameIntervalMs = 16;
    static constexpr int kIdleFrameIntervalMs = 33;

    explicit AssistantCharacter(QWidget* parent = nullptr, Clock clock = {});

    // Queues an animation by name and returns at once; false for an unknown name.
    bool Play(const QString& name);

    AnimationQueue& Queue() { return queue_; }
    const AnimationQueue& Queue() const { return queue_; }

    // Moves the window's top-left corner to `topLeft` the first time only;
    // later calls change nothing and return false.
    bool PlaceAt(QPoint topLeft);
    bool IsPlaced() const { return placed_; }

    // Time between frames now: shorter while an animation plays.
    int FrameIntervalMs() const;
    bool IsAnimating() const;

    // Reads the clock, moves the queue on by the time since the last frame
    // and repaints. The frame timer calls it; tests may call it directly.
    void Tick();

    // The picture the window shows now, at its own size.
    QImage CurrentFrame() const;

    // Whether the window is cut to the figure's outline every frame. X11
    // without a compositing manager ignores window transparency and would
    // show a black box around the figure; a shape works everywhere there.
    bool ShapesToFigure() const { return shapeToFigure_; }
    void SetShapesToFigure(bool on);

signals:
    void FrameAdvanced();

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void RenderFrame();

    AnimationQueue queue_;
    // Drawn only while shown; a hidden window just marks its frame stale.
    mutable QImage frame_;
    mutable bool frameStale_ = true;
    bool shapeToFigure_ = false;
    Clock clock_;
    qint64 lastTick_ = 0;
    QTimer* frameTimer_ = nullptr;
    bool placed_ = false;
};
