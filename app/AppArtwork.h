#pragma once
#include <QIcon>

namespace karsidan {

// Toolbar pictures: the desktop theme's icon when there is one, else our own.
QIcon NewDocumentIcon();
QIcon OpenDocumentIcon();
QIcon SaveDocumentIcon();

// The window icon: a padlock over a page of hex digits, drawn here.
QIcon WindowIcon();

} // namespace karsidan
