#include "app/effects/AssistantCharacter.h"

#include "app/effects/CharacterPainter.h"

#include <QBitmap>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QPainter>
#include <QTimer>

namespace {

AssistantCharacter::Clock MonotonicClock()
{
    auto timer = std::make_shared<QElapsedTimer>();
    timer->start();
    return [timer] { return timer->elapsed(); };
}

} // namespace

AssistantCharacter::AssistantCharacter(QWidget* parent, Clock clock)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus),
      clock_(clock ? std::move(clock) : MonotonicClock())
{
    setObjectName(QStringLiteral("agnAnimation"));
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    setFixedSize(kCharacterCanvas * 0.8);
    queue_.setObjectName(QStringLiteral("assistantQueue"));
    connect(&queue_, &AnimationQueue::AnimationStarted, this,
            [this] { frameTimer_->setInterval(kPlayingFrameIntervalMs); });
    connect(&queue_, &AnimationQueue::AnimationFinished, this, [this] {
        if (queue_.IsIdle())
            frameTimer_->setInterval(kIdleFrameIntervalMs);
    });

    shapeToFigure_ = QGuiApplication::platformName() == QLatin1String("xcb");

    lastTick_ = clock_();
    frameTimer_ = new QTimer(this);
    frameTimer_->setObjectName(QStringLiteral("assistantFrameTimer"));
    frameTimer_->setTimerType(Qt::PreciseTimer);
    frameTimer_->setInterval(kIdleFrameIntervalMs);
    connect(frameTimer_, &QTimer::timeout, this, &AssistantCharacter::Tick);
    frameTimer_->start();
}

bool AssistantCharacter::Play(const QString& name)
{
    // Catch up first so a request made after a long pause starts from now.
    Tick();
    return queue_.Play(name);
}

bool AssistantCharacter::PlaceAt(QPoint topLeft)
{
    if (placed_)
        return false;
    move(topLeft);
    placed_ = true;
    return true;
}

int AssistantCharacter::FrameIntervalMs() const { return frameTimer_->interval(); }

bool AssistantCharacter::IsAnimating() const { return frameTimer_->isActive(); }

void AssistantCharacter::Tick()
{
    const qint64 now = clock_();
    const qint64 delta = now - lastTick_;
    lastTick_ = now;
    if (delta <= 0)
        return;
    queue_.Advance(delta);
    RenderFrame();
    emit FrameAdvanced();
}

void AssistantCharacter::SetShapesToFigure(bool on)
{
    shapeToFigure_ = on;
    if (on)
        RenderFrame();
    else
        clearMask();
}

QImage AssistantCharacter::CurrentFrame() const
{
    if (frameStale_) {
        frame_ = RenderCharacterFrame(queue_.Current(), queue_.Elapsed(), size());
        frameStale_ = false;
    }
    return frame_;
}

void AssistantCharacter::RenderFrame()
{
    frameStale_ = true;
    if (!isVisible())
        return;
    CurrentFrame();
    if (shapeToFigure_)
        setMask(QBitmap::fromImage(frame_.createAlphaMask(Qt::ThresholdAlphaDither)));
    update();
}

void AssistantCharacter::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    RenderFrame();
}

void AssistantCharacter::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(0, 0, CurrentFrame());
}
