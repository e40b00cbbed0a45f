#pragma once

#include <cstdint>

// Kind of a light: key of the world's light registry and of the screen
// camera's visible-light map. No light kind uses the value 5.
enum LightType : std::uint16_t {
    LIGHT_POINT = 0,
    LIGHT_SPOT = 1,
    LIGHT_DIRECTIONAL = 2,
    LIGHT_SHADOW_POINT = 3,
    LIGHT_SHADOW_SPOT = 4,
    LIGHT_GOD_RAY_SPOT = 6,
};
