#pragma once

// What the Wayland compositor of this session offers to a program that is not one of its
// windows. Features are chosen by these globals, never by the desktop's name.
struct WaylandFeatures
{
    // A Wayland display was reached (WAYLAND_DISPLAY); false on X11 alone and without the
    // Wayland client library.
    bool reached = false;
    // zwlr_layer_shell_v1: surfaces anchored to the screen's edges (KDE Plasma, wlroots).
    bool layerShell = false;
    // ext_data_control_manager_v1 and zwlr_data_control_manager_v1: reading the clipboard
    // without a focused window.
    bool extDataControl = false;
    bool wlrDataControl = false;

    bool dataControl() const { return extDataControl || wlrDataControl; }
};

// Connects to the session's compositor, lists its globals once and disconnects.
WaylandFeatures probeWaylandFeatures();
