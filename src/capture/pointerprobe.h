#pragma once

#include <QPoint>
#include <memory>

class QWidget;

// Where the mouse pointer is and which of the program's widgets lies under it; behind an
// interface so tests can place the pointer.
class PointerProbe
{
public:
    virtual ~PointerProbe() = default;
    // Screen coordinates in pixels.
    virtual QPoint position() const = 0;
    // The program's widget at a screen position, or nullptr over another program's window.
    virtual QWidget *widgetAt(const QPoint &position) const = 0;
};

// The real pointer.
std::unique_ptr<PointerProbe> createPointerProbe();
