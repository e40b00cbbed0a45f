#pragma once

#include <cstdint>

// Key of a scene object's component map; each component stores its own. The
// map's ascending order is the order in which a world updates an object's
// components. So the camera culls before the collision component refits the
// boxes it culls against: culling lags the boxes by one frame (see
// ScreenCamera::ViewFrustrumCulling).
enum ComponentID : std::uint16_t {
    COMPONENT_POSITION = 1,
    COMPONENT_MESH_DRAW = 2,
    COMPONENT_CAMERA = 3,
    COMPONENT_COLLISION = 4,
    COMPONENT_LIGHT = 5,
    COMPONENT_PATH_ANIMATION = 6,
    COMPONENT_BSP_DRAW = 7,
};
