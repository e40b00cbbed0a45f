#pragma once

#include <Engine/Export.h>
#include <Engine/Math/Vec3f.h>
#include <Engine/Math/Vec4f.h>

namespace Engine::Util {

// Vertex without texture coordinates: position, face normal and smooth
// normal. The in-memory layout (40 bytes) is the layout of the geometry
// records and of the vertex buffers.
class ENGINE_API BaseVertex {
public:
    // Size of one vertex in bytes, in files and in vertex buffers.
    static constexpr unsigned int Size = 40;

    BaseVertex() = default;
    BaseVertex(Math::Vec4f const& position, Math::Vec3f const& normal,
               Math::Vec3f const& smoothNormal);
    BaseVertex(BaseVertex const&) = default;
    BaseVertex& operator=(BaseVertex const&) = default;

    // Exact comparison of all ten floats.
    bool operator==(BaseVertex other) const;
    bool operator!=(BaseVertex other) const;

    Math::Vec4f position;
    Math::Vec3f normal = Math::Vec3f(0.0f, 0.0f, 0.0f);
    Math::Vec3f smoothNormal = Math::Vec3f(0.0f, 0.0f, 0.0f);
};

static_assert(sizeof(BaseVertex) == BaseVertex::Size, "BaseVertex must be packed to 40 bytes");

} // namespace Engine::Util
