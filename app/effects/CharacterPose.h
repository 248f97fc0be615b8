#pragma once
// Everything that moves on the character, as numbers. A pose depends only on
// (animation, time), so any frame can be reproduced exactly.

#include "app/effects/AnimationClip.h"

#include <QtGlobal>

struct CharacterPose {
    double scale = 1.0; // whole figure, about the feet
    double squash = 1.0; // vertical stretch of the body (breathing, bounces)
    double lift = 0.0; // feet above the ground, in canvas units
    double tilt = 0.0; // degrees, positive leans to the viewer's right
    double leftArm = 0.0; // viewer's left arm, degrees from hanging; positive swings outwards
    double rightArm = 0.0; // viewer's right arm, same convention
    double eyeOpen = 1.0; // 0 closed, 1 open
    double happyEyes = 0.0; // 0 round eyes, 1 closed smiling arcs
    double lookX = 0.0; // gaze, -1 .. 1
    double lookY = 0.0; // gaze, -1 (up) .. 1 (down)
    double smile = 0.6; // mouth curve, -1 frown .. 1 grin
    double mouthOpen = 0.0; // 0 closed .. 1 wide open
    double browLeft = 0.0; // raise of the viewer's left brow, -1 .. 1
    double browRight = 0.0;
    double glow = 0.3; // antenna bulb, 0 .. 1
    double sparkles = 0.0; // flourish of stars, 0 none .. 1 full
    double sparklePhase = 0.0; // turns of the star ring
    double question = 0.0; // question mark, 0 hidden .. 1 shown
    double questionBob = 0.0; // its bounce, canvas units
    double thought = 0.0; // thought bubble, 0 hidden .. 1 shown
    int thoughtDots = 0; // dots inside the bubble, 0 .. 3
};

CharacterPose PoseAt(Animation animation, qint64 ms);
