#include "app/effects/AnimationQueue.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

namespace {

QStringList Names(const QSignalSpy& spy)
{
    QStringList names;
    for (const QList<QVariant>& call : spy)
        names << call.at(0).toString();
    return names;
}

} // namespace

TEST(AnimationQueue, PlaysRequestsInOrderWithoutWaiting)
{
    AnimationQueue queue;
    QSignalSpy started(&queue, &AnimationQueue::AnimationStarted);
    QSignalSpy finished(&queue, &AnimationQueue::AnimationFinished);

    EXPECT_TRUE(queue.Play("Announce"));
    EXPECT_TRUE(queue.Play("Think"));
    EXPECT_TRUE(queue.Play("Greet"));
    // Nothing has waited: the first runs from time zero, the rest wait.
    EXPECT_EQ(queue.Current(), Animation::Announce);
    EXPECT_EQ(queue.Elapsed(), 0);
    EXPECT_EQ(queue.Pending(), (QStringList{"Think", "Greet"}));
    EXPECT_EQ(Names(started), QStringList{"Announce"});
    EXPECT_TRUE(finished.isEmpty());

    queue.Advance(AnimationDurationMs(Animation::Announce) - 1);
    EXPECT_EQ(queue.Current(), Animation::Announce);
    queue.Advance(1);
    EXPECT_EQ(queue.Current(), Animation::Think);
    EXPECT_EQ(queue.Elapsed(), 0);
    EXPECT_EQ(queue.Pending(), QStringList{"Greet"});

    queue.Advance(AnimationDurationMs(Animation::Think) + AnimationDurationMs(Animation::Greet));
    EXPECT_TRUE(queue.IsIdle());
    EXPECT_TRUE(queue.Pending().isEmpty());
    EXPECT_EQ(Names(started), (QStringList{"Announce", "Think", "Greet"}));
    EXPECT_EQ(Names(finished), (QStringList{"Announce", "Think", "Greet"}));
}

TEST(AnimationQueue, CarriesLeftoverTimeIntoTheNextAnimation)
{
    AnimationQueue queue;
    queue.Play("Confused");
    queue.Play("Think");
    queue.Advance(AnimationDurationMs(Animation::Confused) + 250);
    EXPECT_EQ(queue.Current(), Animation::Think);
    EXPECT_EQ(queue.Elapsed(), 250);

    // A single long step may pass several animations at once.
    queue.Play("Greet");
    queue.Play("Announce");
    queue.Advance(AnimationDurationMs(Animation::Think) - 250 + AnimationDurationMs(Animation::Greet) + 40);
    EXPECT_EQ(queue.Current(), Animation::Announce);
    EXPECT_EQ(queue.Elapsed(), 40);
}

TEST(AnimationQueue, IgnoresUnknownNames)
{
    AnimationQueue queue;
    QSignalSpy started(&queue, &AnimationQueue::AnimationStarted);
    for (const char* name : {"", "Wave", "think", "Idle", " Think", "GREET"})
        EXPECT_FALSE(queue.Play(name)) << name;
    EXPECT_TRUE(queue.IsIdle());
    EXPECT_TRUE(started.isEmpty());

    queue.Play("Think");
    EXPECT_FALSE(queue.Play("Explode"));
    EXPECT_EQ(queue.Current(), Animation::Think);
    EXPECT_TRUE(queue.Pending().isEmpty());
}

TEST(AnimationQueue, DropsTheOldestWaitingRequestWhenFull)
{
    AnimationQueue queue;
    queue.Play("Announce");
    queue.Play("Think");
    queue.Play("Confused");
    queue.Play("Think");
    ASSERT_EQ(queue.Pending().size(), AnimationQueue::MaxPending);
    // A farewell asked for last is never the one lost.
    queue.Play("Greet");
    EXPECT_EQ(queue.Pending(), (QStringList{"Confused", "Think", "Greet"}));
    EXPECT_EQ(queue.Current(), Animation::Announce);
}

TEST(AnimationQueue, RequestFromAFinishListenerWaitsItsTurn)
{
    AnimationQueue queue;
    QSignalSpy started(&queue, &AnimationQueue::AnimationStarted);
    bool asked = false;
    QObject::connect(&queue, &AnimationQueue::AnimationFinished, &queue, [&](const QString& name) {
        if (name == "Announce" && !asked) {
            asked = true;
            queue.Play("Greet");
        }
    });
    queue.Play("Announce");
    queue.Play("Think");
    queue.Advance(AnimationDurationMs(Animation::Announce));
    EXPECT_EQ(queue.Current(), Animation::Think);
    EXPECT_EQ(queue.Pending(), QStringList{"Greet"});
    queue.Advance(AnimationDurationMs(Animation::Think));
    EXPECT_EQ(Names(started), (QStringList{"Announce", "Think", "Greet"}));
}

TEST(AnimationQueue, IdleLoopKeepsTurningBetweenAnimations)
{
    AnimationQueue queue;
    const int loop = AnimationDurationMs(Animation::Idle);
    queue.Advance(loop + 120);
    EXPECT_TRUE(queue.IsIdle());
    EXPECT_EQ(queue.Elapsed(), 120);
    queue.Play("Greet");
    queue.Advance(AnimationDurationMs(Animation::Greet) + 30);
    EXPECT_TRUE(queue.IsIdle());
    // Idle resumes where it was, plus the time beyond the animation's end.
    EXPECT_EQ(queue.Elapsed(), 150);
}
