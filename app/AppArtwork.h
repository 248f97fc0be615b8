#pragma once
#include <QIcon>

class QPainter;

namespace karsidan {

// Toolbar pictures: the desktop theme's icon when there is one, else our own.
QIcon NewDocumentIcon();
QIcon OpenDocumentIcon();
QIcon SaveDocumentIcon();

// The key boxes' toggle: an open eye (the key is shown; click hides it)
// and a crossed-out eye (the key is hidden; click shows it).
QIcon KeyShownIcon();
QIcon KeyHiddenIcon();

// The window icon: a padlock over a page of hex digits, drawn here.
QIcon WindowIcon();

// Draws the window icon into a square of side kWindowIconUnits. The
// installed SVG and PNG icons are rendered through this too, at build time.
constexpr int kWindowIconUnits = 50;
void PaintWindowIcon(QPainter& p);

} // namespace karsidan
