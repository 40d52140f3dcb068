/* waylandlabpointer: a virtual pointer for wlroots compositors (zwlr_virtual_pointer_v1).
   Reads lines from stdin (or follows the file named as 3rd argument): "move X Y" (absolute, in a W x H extent given on the
   command line), "press", "release", "click", "sleep MS". Exits at EOF. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <unistd.h>
#include <wayland-client.h>
#include "wlr-virtual-pointer-unstable-v1-client.h"
#define BTN_LEFT 0x110
static struct wl_seat *seat; static struct zwlr_virtual_pointer_manager_v1 *mgr;
static void reg_global(void *d, struct wl_registry *r, uint32_t name, const char *iface, uint32_t ver) {
  if (!strcmp(iface, wl_seat_interface.name)) seat = wl_registry_bind(r, name, &wl_seat_interface, 1);
  else if (!strcmp(iface, zwlr_virtual_pointer_manager_v1_interface.name)) mgr = wl_registry_bind(r, name, &zwlr_virtual_pointer_manager_v1_interface, 1);
}
static void reg_remove(void *d, struct wl_registry *r, uint32_t n) {}
static const struct wl_registry_listener rl = { reg_global, reg_remove };
static uint32_t now_ms(void) { struct timespec t; clock_gettime(CLOCK_MONOTONIC, &t); return t.tv_sec * 1000 + t.tv_nsec / 1000000; }
int main(int argc, char **argv) {
  unsigned W = argc > 2 ? atoi(argv[1]) : 1920, H = argc > 2 ? atoi(argv[2]) : 1080;
  struct wl_display *dpy = wl_display_connect(NULL);
  if (!dpy) { fprintf(stderr, "waylandlabpointer: no wayland display\n"); return 1; }
  struct wl_registry *reg = wl_display_get_registry(dpy);
  wl_registry_add_listener(reg, &rl, NULL); wl_display_roundtrip(dpy);
  if (!mgr) { fprintf(stderr, "waylandlabpointer: compositor lacks zwlr_virtual_pointer_manager_v1\n"); return 2; }
  struct zwlr_virtual_pointer_v1 *p = zwlr_virtual_pointer_manager_v1_create_virtual_pointer(mgr, seat);
  wl_display_roundtrip(dpy);
  char line[256];
  FILE *in = argc > 3 ? fopen(argv[3], "r") : stdin; /* with a file: follow it like tail -f */
  if (!in) { perror("waylandlabpointer"); return 3; }
  for (;;) {
    if (!fgets(line, sizeof line, in)) {
      if (in == stdin) break;
      clearerr(in); wl_display_roundtrip(dpy); usleep(50000); continue;
    }
    unsigned x, y, ms;
    if (sscanf(line, "move %u %u", &x, &y) == 2) { zwlr_virtual_pointer_v1_motion_absolute(p, now_ms(), x, y, W, H); zwlr_virtual_pointer_v1_frame(p); }
    else if (!strncmp(line, "press", 5)) { zwlr_virtual_pointer_v1_button(p, now_ms(), BTN_LEFT, 1); zwlr_virtual_pointer_v1_frame(p); }
    else if (!strncmp(line, "release", 7)) { zwlr_virtual_pointer_v1_button(p, now_ms(), BTN_LEFT, 0); zwlr_virtual_pointer_v1_frame(p); }
    else if (!strncmp(line, "click", 5)) { zwlr_virtual_pointer_v1_button(p, now_ms(), BTN_LEFT, 1); zwlr_virtual_pointer_v1_frame(p);
      wl_display_flush(dpy); usleep(50000); zwlr_virtual_pointer_v1_button(p, now_ms(), BTN_LEFT, 0); zwlr_virtual_pointer_v1_frame(p); }
    else if (sscanf(line, "sleep %u", &ms) == 1) { wl_display_roundtrip(dpy); usleep(ms * 1000); }
    wl_display_roundtrip(dpy);
  }
  zwlr_virtual_pointer_v1_destroy(p); wl_display_roundtrip(dpy); wl_display_disconnect(dpy);
  return 0;
}
