#pragma once
// Draws the assistant, a small round robot, from a pose. Pure vector work
// with QPainter: the same pose always gives the same picture.

#include "app/effects/CharacterPose.h"

#include <QImage>
#include <QRectF>
#include <QSize>

class QPainter;

// The canvas the figure is designed on; targets keep its aspect ratio.
inline constexpr QSize kCharacterCanvas{140, 150};

// Paints the figure scaled into `target` (centred, aspect kept).
void PaintCharacter(QPainter& painter, const QRectF& target, const CharacterPose& pose);

// One frame on a transparent image of the given size.
QImage RenderCharacterFrame(Animation animation, qint64 ms, QSize size);
