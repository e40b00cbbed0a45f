#pragma once

#include <cstdint>

// Key of a mesh's texture-channel mapping: which texture-coordinate channel of
// the vertices feeds which material texture. A key missing from the map means
// channel 0.
enum UVCoordMapping : std::uint8_t {
    UVMAP_DIFFUSE = 0,
    UVMAP_NORMAL = 1,
    UVMAP_DISPLACEMENT = 2,
};

namespace Engine::Util {
using ::UVCoordMapping;
} // namespace Engine::Util
