#pragma once

// Keeps Mesa's software driver loaded until the process ends. GLX unloads the
// driver when the test window's display is closed at exit; the driver's
// global state then becomes unreachable before LeakSanitizer looks, which
// reports it as leaked (with frames it cannot name). Mapping the driver once
// more with RTLD_NODELETE keeps it resident, so only real leaks are reported.

#include <dlfcn.h>

namespace RenderTest {

inline bool keepGLDriverLoaded() {
    static char const* const drivers[] = {"/usr/lib/x86_64-linux-gnu/dri/swrast_dri.so",
                                          "/usr/lib/aarch64-linux-gnu/dri/swrast_dri.so",
                                          "/usr/lib64/dri/swrast_dri.so"};
    for (char const* path : drivers) {
        if (dlopen(path, RTLD_LAZY | RTLD_NODELETE) != nullptr) {
            return true;
        }
    }
    return false;
}

} // namespace RenderTest
