#pragma once
// Where the assistant stands: against the right edge of the main window,
// level with its top. Window geometry comes in twips, the answer in pixels.

#include <QPoint>
#include <optional>

// Rounds to the nearest integer, a tie to the even one (2.5 -> 2, 3.5 -> 4).
double RoundHalfEven(double value);

// left = (windowLeft + windowOuterWidth) / twipsPerPixelX,
// top  = windowTop / twipsPerPixelY, each rounded half to even.
// Empty when a scale is not positive or a coordinate leaves the 16-bit
// range the character's position is kept in.
std::optional<QPoint> AssistantPosition(double windowLeftTwips, double windowTopTwips, double windowOuterWidthTwips,
                                        double twipsPerPixelX, double twipsPerPixelY);
