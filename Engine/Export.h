#pragma once

// Symbol visibility of the Engine shared library. The library is built with
// hidden visibility; only declarations marked ENGINE_API are exported.
#if defined(ENGINE_BUILDING_LIBRARY)
#define ENGINE_API __attribute__((visibility("default")))
#else
#define ENGINE_API
#endif
