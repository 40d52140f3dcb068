#pragma once

#include <QString>

// Whether the X display that the xcb platform would use can be reached. On failure
// *display names the display that was tried.
bool canReachDisplay(QString *display);
