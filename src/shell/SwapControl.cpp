#include "shell/SwapControl.h"

#include <GL/glx.h>

#include <cstring>

#include "shell/Log.h"

namespace NSWindow {

namespace {

// Whether the space-separated list names the extension exactly.
bool hasExtension(const char* list, const char* name) {
    if (!list)
        return false;
    const std::size_t length = std::strlen(name);
    for (const char* p = list; (p = std::strstr(p, name)) != nullptr; p += length)
        if ((p == list || p[-1] == ' ') && (p[length] == ' ' || p[length] == '\0'))
            return true;
    return false;
}

template <typename F>
F procedure(const char* name) {
    return reinterpret_cast<F>(glXGetProcAddressARB(reinterpret_cast<const GLubyte*>(name)));
}

} // namespace

bool setSwapInterval(int interval) {
    Display* display = glXGetCurrentDisplay();
    const GLXDrawable drawable = glXGetCurrentDrawable();
    if (!display || !drawable)
        return false;
    const char* extensions = glXQueryExtensionsString(display, DefaultScreen(display));
    const char* used = nullptr;
    if (hasExtension(extensions, "GLX_EXT_swap_control")) {
        using SwapEXT = void (*)(Display*, GLXDrawable, int);
        if (auto swap = procedure<SwapEXT>("glXSwapIntervalEXT")) {
            swap(display, drawable, interval);
            used = "GLX_EXT_swap_control";
        }
    }
    if (!used && hasExtension(extensions, "GLX_MESA_swap_control")) {
        using SwapMESA = int (*)(unsigned);
        if (auto swap = procedure<SwapMESA>("glXSwapIntervalMESA"); swap && swap(interval) == 0)
            used = "GLX_MESA_swap_control";
    }
    // The SGI extension cannot turn the wait off.
    if (!used && interval > 0 && hasExtension(extensions, "GLX_SGI_swap_control")) {
        using SwapSGI = int (*)(int);
        if (auto swap = procedure<SwapSGI>("glXSwapIntervalSGI"); swap && swap(interval) == 0)
            used = "GLX_SGI_swap_control";
    }
    if (used)
        log(LOG_GAME, "Swap interval %d through %s\n", interval, used);
    else
        log(LOG_GAME, "No swap control for interval %d: the frame cap paces the drawing\n", interval);
    return used != nullptr;
}

} // namespace NSWindow
