#include "app/effects/AnimationQueue.h"

#include "app/effects/EffectsLog.h"

AnimationQueue::AnimationQueue(QObject* parent) : QObject(parent) { }

bool AnimationQueue::Play(const QString& name)
{
    const auto animation = AnimationFromName(name);
    if (!animation) {
        qCInfo(lcAssistant) << "unknown animation ignored:" << name;
        return false;
    }
    if (IsIdle()) {
        current_ = *animation;
        elapsed_ = 0;
        emit AnimationStarted(AnimationName(current_));
        return true;
    }
    if (pending_.size() >= static_cast<std::size_t>(MaxPending)) {
        qCInfo(lcAssistant) << "queue full, dropping" << AnimationName(pending_.front());
        pending_.pop_front();
    }
    pending_.push_back(*animation);
    return true;
}

void AnimationQueue::Advance(qint64 ms)
{
    while (ms > 0) {
        if (IsIdle()) {
            idleElapsed_ = (idleElapsed_ + ms) % AnimationDurationMs(Animation::Idle);
            return;
        }
        const qint64 remaining = AnimationDurationMs(current_) - elapsed_;
        if (ms < remaining) {
            elapsed_ += ms;
            return;
        }
        ms -= remaining;
        // The successor is chosen before anyone hears of the end, so a play
        // request made from a listener queues behind it instead of jumping ahead.
        const Animation finished = current_;
        current_ = Animation::Idle;
        if (!pending_.empty()) {
            current_ = pending_.front();
            pending_.pop_front();
            elapsed_ = 0;
        }
        const Animation next = current_;
        emit AnimationFinished(AnimationName(finished));
        if (next != Animation::Idle)
            emit AnimationStarted(AnimationName(next));
    }
}

qint64 AnimationQueue::Elapsed() const { return IsIdle() ? idleElapsed_ : elapsed_; }

QStringList AnimationQueue::Pending() const
{
    QStringList names;
    for (Animation animation : pending_)
        names << AnimationName(animation);
    return names;
}
