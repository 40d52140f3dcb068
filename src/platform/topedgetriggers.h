#pragma once

#include "platform/topedgetrigger.h"

struct WaylandFeatures;

// The top-edge strip this desktop allows: a layer-shell surface where the compositor offers
// the layer shell (KDE Plasma, wlroots), else an override-redirect X11 window (GNOME's
// Wayland session through Xwayland, and X11 desktops).
std::unique_ptr<TopEdgeTrigger> createTopEdgeTrigger(const WaylandFeatures &features);
