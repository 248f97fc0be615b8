#pragma once
// Play requests in order, driven by an outside clock: Advance() moves time on,
// so the queue itself never waits and tests need no real seconds.

#include "app/effects/AnimationClip.h"

#include <QObject>
#include <QStringList>
#include <deque>

class AnimationQueue : public QObject {
    Q_OBJECT
public:
    // A user who clicks ten times should not watch twenty seconds of thinking:
    // beyond this many waiting requests the oldest waiting one is dropped.
    static constexpr int MaxPending = 3;

    explicit AnimationQueue(QObject* parent = nullptr);

    // Queues the named animation and returns at once. Starts it right away
    // when nothing plays. An unknown name is ignored and gives false.
    bool Play(const QString& name);

    // Moves time on by ms; finishes and starts animations as their time comes.
    // Time left over when one ends is carried into the next, so frames stay
    // where a real-time clock would put them.
    void Advance(qint64 ms);

    Animation Current() const { return current_; }
    // Time into the current animation, or into the idle loop when idle.
    qint64 Elapsed() const;
    QStringList Pending() const;
    bool IsIdle() const { return current_ == Animation::Idle; }

signals:
    void AnimationStarted(const QString& name);
    void AnimationFinished(const QString& name);

private:
    Animation current_ = Animation::Idle;
    qint64 elapsed_ = 0;
    qint64 idleElapsed_ = 0;
    std::deque<Animation> pending_;
};
