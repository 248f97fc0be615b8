#include "app/effects/AnimationClip.h"

#include <array>

namespace {

struct Clip {
    Animation animation;
    const char* name;
    int durationMs;
};

// Idle loops: one slow breath cycle with a blink near its end.
constexpr std::array<Clip, 5> kClips{{
    {Animation::Idle, "Idle", 4000},
    {Animation::Announce, "Announce", 1600},
    {Animation::Think, "Think", 2000},
    {Animation::Confused, "Confused", 1500},
    {Animation::Greet, "Greet", 1800},
}};

const Clip& ClipOf(Animation animation)
{
    for (const Clip& clip : kClips)
        if (clip.animation == animation)
            return clip;
    return kClips.front();
}

} // namespace

std::optional<Animation> AnimationFromName(const QString& name)
{
    for (const Clip& clip : kClips)
        if (clip.animation != Animation::Idle && name == QLatin1String(clip.name))
            return clip.animation;
    return std::nullopt;
}

QString AnimationName(Animation animation) { return QString::fromLatin1(ClipOf(animation).name); }

int AnimationDurationMs(Animation animation) { return ClipOf(animation).durationMs; }
