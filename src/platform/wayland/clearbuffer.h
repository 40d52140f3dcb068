#pragma once

struct wl_buffer;
struct wl_shm;

// A transparent ARGB buffer of the given size in shared memory, or null where none could be made.
// A surface showing it is invisible yet still takes the pointer and drags.
wl_buffer *createClearBuffer(wl_shm *shm, int width, int height);
