#pragma once

#include <cstring>
#include <dlfcn.h>
#include <link.h>

namespace Game {

// Keeps the OpenGL driver that the current context loaded (Mesa's *_dri.so) in
// memory until the process ends. GLX unloads the driver when the display is
// closed at exit; the driver's global state is then unreachable when
// LeakSanitizer looks, and its blocks are reported as leaks with frames that
// cannot be named. Mapping the driver once more with RTLD_NODELETE keeps it
// resident, so that only real leaks are reported. Call with a context current.
inline void keepGLDriverResident() {
    dl_iterate_phdr(
        [](dl_phdr_info* info, std::size_t, void*) {
            if (info->dlpi_name != nullptr && std::strstr(info->dlpi_name, "_dri.so") != nullptr) {
                dlopen(info->dlpi_name, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
            }
            return 0;
        },
        nullptr);
}

} // namespace Game
