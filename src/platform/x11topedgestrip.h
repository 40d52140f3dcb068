#pragma once

#include "platform/topedgetrigger.h"

#include <QWidget>

class QScreen;

// The top-edge strip as an X11 window that the window manager does not place
// (override-redirect): at y = 0 of the primary screen, from the hot corner's end to the right
// edge. On GNOME it stays above the shell's top bar and hears the pointer coming up from Wayland
// windows too, which a managed window would not (the shell moves those below its bar).
class X11TopEdgeStrip final : public TopEdgeTrigger
{
    Q_OBJECT
public:
    explicit X11TopEdgeStrip(QObject *parent = nullptr);
    ~X11TopEdgeStrip() override;

    void setArmed(bool armed) override;
    bool isArmed() const override;

    // The window itself, for tests.
    QWidget *window() const;

private:
    class StripWindow;
    void place();

    std::unique_ptr<StripWindow> m_window;
};
