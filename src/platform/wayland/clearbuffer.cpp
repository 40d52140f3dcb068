#include "platform/wayland/clearbuffer.h"

#include <wayland-client.h>

#include <sys/mman.h>
#include <unistd.h>

wl_buffer *createClearBuffer(wl_shm *shm, int width, int height)
{
    // A fresh memory file reads as zeros, which is ARGB's clear.
    const int stride = width * 4;
    const int size = stride * height;
    const int fd = ::memfd_create("notavo-clear", MFD_CLOEXEC);
    if (fd < 0)
        return nullptr;
    wl_buffer *buffer = nullptr;
    if (::ftruncate(fd, size) == 0) {
        wl_shm_pool *pool = wl_shm_create_pool(shm, fd, size);
        buffer = wl_shm_pool_create_buffer(pool, 0, width, height, stride, WL_SHM_FORMAT_ARGB8888);
        wl_shm_pool_destroy(pool);
    }
    ::close(fd);
    return buffer;
}
