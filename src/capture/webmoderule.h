#pragma once

#include <QPoint>

// What one web-mode tick does with the capture window, decided from the pointer and the
// window's state. Pointer positions are screen pixels.
namespace WebModeRule {

struct Input
{
    QPoint pointer;
    bool visible = false;
    bool overToolbar = false;    // the pointer is on the toolbar or one of its buttons
    bool overBackground = false; // the pointer is on the window itself, not on a control
    bool keepShown = false;
    bool keepExpanded = false;
};

struct Decision
{
    int showZone = 5;
    bool show = false;        // show at the top of the screen
    bool shrinkToBar = false;
    bool hide = false;
};

// The zone is 30 pixels high between x 300 and 700 (both excluded) while the window is
// shown, 5 pixels otherwise. At y equal to the zone the window is neither shown nor hidden.
Decision decide(const Input &input);

} // namespace WebModeRule
