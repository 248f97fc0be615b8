#include "app/effects/CharacterPose.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr double kPi = std::numbers::pi;

double Clamp01(double x) { return std::clamp(x, 0.0, 1.0); }

double Smooth(double x)
{
    x = Clamp01(x);
    return x * x * (3.0 - 2.0 * x);
}

double Mix(double a, double b, double t) { return a + (b - a) * t; }

// 0 outside [from, to], rising and falling smoothly over `edge` ms inside it.
double Window(double t, double from, double to, double edge)
{
    return Smooth((t - from) / edge) * Smooth((to - t) / edge);
}

// Blends every field from the resting pose towards `target` by w.
CharacterPose Blend(const CharacterPose& rest, const CharacterPose& target, double w)
{
    CharacterPose p = target;
    p.scale = Mix(rest.scale, target.scale, w);
    p.squash = Mix(rest.squash, target.squash, w);
    p.lift = Mix(rest.lift, target.lift, w);
    p.tilt = Mix(rest.tilt, target.tilt, w);
    p.leftArm = Mix(rest.leftArm, target.leftArm, w);
    p.rightArm = Mix(rest.rightArm, target.rightArm, w);
    p.eyeOpen = Mix(rest.eyeOpen, target.eyeOpen, w);
    p.happyEyes = Mix(rest.happyEyes, target.happyEyes, w);
    p.lookX = Mix(rest.lookX, target.lookX, w);
    p.lookY = Mix(rest.lookY, target.lookY, w);
    p.smile = Mix(rest.smile, target.smile, w);
    p.mouthOpen = Mix(rest.mouthOpen, target.mouthOpen, w);
    p.browLeft = Mix(rest.browLeft, target.browLeft, w);
    p.browRight = Mix(rest.browRight, target.browRight, w);
    p.glow = Mix(rest.glow, target.glow, w);
    return p;
}

CharacterPose IdlePose(double t)
{
    CharacterPose p;
    const double breath = std::sin(2.0 * kPi * t / AnimationDurationMs(Animation::Idle));
    p.squash = 1.0 + 0.018 * breath;
    p.lift = 0.0;
    p.leftArm = 4.0 + 3.0 * breath;
    p.rightArm = 4.0 + 3.0 * breath;
    p.glow = 0.35 + 0.15 * breath;
    // One blink per loop, near its end so a fresh loop starts with open eyes.
    const double blink = Window(t, 3560.0, 3760.0, 90.0);
    p.eyeOpen = 1.0 - 0.95 * blink;
    return p;
}

// The resting pose that every animation starts from and returns to.
CharacterPose Rest() { return IdlePose(0.0); }

// Ramps an animation in and out of the resting pose.
double Envelope(double t, Animation animation, double in, double out)
{
    const double d = AnimationDurationMs(animation);
    return Smooth(t / in) * Smooth((d - t) / out);
}

CharacterPose Announce(double t)
{
    CharacterPose p;
    // Pops up from nothing with a springy overshoot.
    const double pop = Clamp01(t / 450.0);
    p.scale = pop >= 1.0 ? 1.0 : 1.0 - std::exp(-6.0 * pop) * std::cos(9.0 * pop);
    p.scale = std::max(p.scale, 0.05);
    // A hop, then a little squash on landing.
    const double hop = std::sin(kPi * Clamp01((t - 350.0) / 550.0));
    p.lift = 10.0 * hop;
    p.squash = 1.0 + 0.10 * hop - 0.08 * Window(t, 880.0, 1060.0, 80.0);
    // "Ta-da": both arms up and out.
    const double arms = Window(t, 250.0, 1450.0, 250.0);
    p.leftArm = Mix(4.0, 150.0, arms) + 8.0 * std::sin(t / 90.0) * arms;
    p.rightArm = Mix(4.0, 150.0, arms) + 8.0 * std::sin(t / 90.0 + 1.3) * arms;
    p.smile = 1.0;
    p.mouthOpen = 0.75 * Window(t, 300.0, 1300.0, 200.0);
    p.happyEyes = Window(t, 500.0, 1250.0, 150.0);
    p.glow = 0.5 + 0.5 * std::abs(std::sin(t / 140.0));
    p.browLeft = p.browRight = 0.4 * arms;
    p.sparkles = Window(t, 150.0, 1550.0, 300.0);
    p.sparklePhase = t / 2400.0;
    // No ramp in: the pop-up is the entrance.
    return Blend(Rest(), p, Smooth((AnimationDurationMs(Animation::Announce) - t) / 300.0));
}

CharacterPose Think(double t)
{
    CharacterPose p;
    p.tilt = 9.0 + 2.0 * std::sin(t / 260.0);
    p.leftArm = 6.0;
    p.rightArm = -58.0 + 5.0 * std::sin(t / 180.0); // hand to the chin
    p.lookX = 0.6 + 0.25 * std::sin(t / 330.0);
    p.lookY = -0.8;
    p.smile = 0.05;
    p.browLeft = 0.5;
    p.browRight = -0.2;
    p.glow = 0.3 + 0.7 * (0.5 + 0.5 * std::sin(t / 120.0));
    p.squash = 1.0 + 0.012 * std::sin(t / 200.0);
    const double w = Envelope(t, Animation::Think, 250.0, 300.0);
    CharacterPose out = Blend(Rest(), p, w);
    out.thought = Window(t, 200.0, 1850.0, 220.0);
    out.thoughtDots = t < 450.0 ? 0 : t < 750.0 ? 1 : t < 1050.0 ? 2 : 3;
    out.sparklePhase = t / 1000.0;
    return out;
}

CharacterPose Confused(double t)
{
    CharacterPose p;
    p.tilt = -12.0 * std::sin(2.0 * kPi * t / 1100.0);
    // Shrug: both arms out, pulsing.
    const double shrug = 0.5 + 0.5 * std::sin(t / 95.0);
    p.leftArm = 40.0 + 12.0 * shrug;
    p.rightArm = 40.0 + 12.0 * shrug;
    p.squash = 1.0 - 0.05 * shrug;
    p.lift = 2.0 * shrug;
    p.lookX = 0.6 * std::sin(t / 170.0);
    p.lookY = -0.3;
    p.smile = -0.55;
    p.mouthOpen = 0.3;
    p.browLeft = 0.9;
    p.browRight = -0.6;
    p.glow = 0.15;
    const double w = Envelope(t, Animation::Confused, 200.0, 260.0);
    CharacterPose out = Blend(Rest(), p, w);
    const double q = Window(t, 120.0, 1400.0, 180.0);
    out.question = q;
    out.questionBob = 3.0 * std::sin(t / 110.0) * q;
    return out;
}

CharacterPose Greet(double t)
{
    CharacterPose p;
    // The viewer's right arm waves high; the other rests.
    p.rightArm = 150.0 + 24.0 * std::sin(2.0 * kPi * t / 420.0);
    p.leftArm = 10.0;
    p.tilt = -4.0 + 3.0 * std::sin(2.0 * kPi * t / 840.0);
    p.happyEyes = 1.0;
    p.smile = 1.0;
    p.mouthOpen = 0.35 + 0.2 * std::sin(t / 150.0);
    p.lift = 3.0 * std::abs(std::sin(2.0 * kPi * t / 840.0));
    p.squash = 1.0 + 0.03 * std::sin(2.0 * kPi * t / 420.0);
    p.browLeft = p.browRight = 0.3;
    p.glow = 0.8;
    return Blend(Rest(), p, Envelope(t, Animation::Greet, 220.0, 300.0));
}

} // namespace

CharacterPose PoseAt(Animation animation, qint64 ms)
{
    const double t = std::clamp<double>(static_cast<double>(ms), 0.0, AnimationDurationMs(animation));
    switch (animation) {
    case Animation::Idle: return IdlePose(t);
    case Animation::Announce: return Announce(t);
    case Animation::Think: return Think(t);
    case Animation::Confused: return Confused(t);
    case Animation::Greet: return Greet(t);
    }
    return Rest();
}
