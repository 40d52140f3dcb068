#pragma once

struct wl_display;
struct zwlr_virtual_pointer_manager_v1;
struct zwlr_virtual_pointer_v1;

// A pointer the test moves, through wlroots' virtual-pointer protocol on a connection of its
// own. Positions are given in thousandths of the screen's width and height.
class VirtualPointer final
{
public:
    VirtualPointer();
    ~VirtualPointer();
    VirtualPointer(const VirtualPointer &) = delete;
    VirtualPointer &operator=(const VirtualPointer &) = delete;

    bool isValid() const { return m_pointer != nullptr; }
    void moveTo(unsigned x, unsigned y);
    // The left button.
    void press();
    void release();

private:
    void button(bool pressed);

    wl_display *m_display = nullptr;
    zwlr_virtual_pointer_manager_v1 *m_manager = nullptr;
    zwlr_virtual_pointer_v1 *m_pointer = nullptr;
};
