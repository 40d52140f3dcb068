/* The layer shell's get_popup request names xdg-shell's xdg_popup, which the strip never
   creates. This stands in for xdg-shell's generated interface so that the layer-shell code
   links without it; nothing is ever sent with it. */
#include <wayland-util.h>

#if defined(__GNUC__) && __GNUC__ >= 4
__attribute__((visibility("hidden")))
#endif
const struct wl_interface xdg_popup_interface = {"xdg_popup", 1, 0, NULL, 0, NULL};
