#pragma once

namespace karsidan {

// The names desktops know the program by, set before the first window: the
// application name becomes the X11 WM_CLASS (and names the per-user data
// folder), the desktop file name the Wayland app id. The installed desktop
// entry is written from the same id, so the desktop groups the windows
// under its menu entry and icon.
void SetApplicationIdentity();

} // namespace karsidan
