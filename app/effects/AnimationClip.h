#pragma once
// The character's repertoire: four named animations and the idle pose that
// loops between them.

#include <QString>
#include <optional>

enum class Animation { Idle, Announce, Think, Confused, Greet };

// The names callers play by: "Announce", "Think", "Confused", "Greet".
// Idle is not playable; it is what shows when nothing is queued.
std::optional<Animation> AnimationFromName(const QString& name);
QString AnimationName(Animation animation);

// Length of one run of an animation; for Idle, the length of its loop.
int AnimationDurationMs(Animation animation);
