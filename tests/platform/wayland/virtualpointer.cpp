#include "platform/wayland/virtualpointer.h"

#include <wayland-client.h>
#include <wlr-virtual-pointer-unstable-v1-client.h>

#include <QDeadlineTimer>

#include <cstring>

namespace {

void onGlobal(void *data, wl_registry *registry, uint32_t name, const char *interface, uint32_t)
{
    if (std::strcmp(interface, zwlr_virtual_pointer_manager_v1_interface.name) == 0) {
        *static_cast<zwlr_virtual_pointer_manager_v1 **>(data) = static_cast<zwlr_virtual_pointer_manager_v1 *>(
            wl_registry_bind(registry, name, &zwlr_virtual_pointer_manager_v1_interface, 1));
    }
}

void onGlobalRemove(void *, wl_registry *, uint32_t) {}

const wl_registry_listener registryListener = {onGlobal, onGlobalRemove};

uint32_t milliseconds()
{
    return static_cast<uint32_t>(QDeadlineTimer::current().deadline());
}

} // namespace

VirtualPointer::VirtualPointer()
{
    m_display = wl_display_connect(nullptr);
    if (!m_display)
        return;
    wl_registry *registry = wl_display_get_registry(m_display);
    wl_registry_add_listener(registry, &registryListener, &m_manager);
    wl_display_roundtrip(m_display);
    wl_registry_destroy(registry);
    if (m_manager) {
        m_pointer = zwlr_virtual_pointer_manager_v1_create_virtual_pointer(m_manager, nullptr);
        wl_display_roundtrip(m_display);
    }
}

VirtualPointer::~VirtualPointer()
{
    if (m_pointer)
        zwlr_virtual_pointer_v1_destroy(m_pointer);
    if (m_manager)
        zwlr_virtual_pointer_manager_v1_destroy(m_manager);
    if (m_display) {
        wl_display_roundtrip(m_display);
        wl_display_disconnect(m_display);
    }
}

void VirtualPointer::moveTo(unsigned x, unsigned y)
{
    zwlr_virtual_pointer_v1_motion_absolute(m_pointer, milliseconds(), x, y, 1000, 1000);
    zwlr_virtual_pointer_v1_frame(m_pointer);
    wl_display_roundtrip(m_display);
}

void VirtualPointer::press()
{
    button(true);
}

void VirtualPointer::release()
{
    button(false);
}

void VirtualPointer::button(bool pressed)
{
    constexpr uint32_t leftButton = 0x110; // BTN_LEFT of linux/input-event-codes.h
    zwlr_virtual_pointer_v1_button(m_pointer, milliseconds(), leftButton, pressed ? 1 : 0);
    zwlr_virtual_pointer_v1_frame(m_pointer);
    wl_display_roundtrip(m_display);
}
