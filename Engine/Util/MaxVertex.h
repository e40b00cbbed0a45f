#pragma once

#include <Engine/Export.h>
#include <Engine/Math/Vec2f.h>
#include <Engine/Math/Vec3f.h>
#include <Engine/Math/Vec4f.h>

namespace Engine::Util {

// Vertex with ten texture coordinates and no tangents (120 bytes). No asset
// file stores it; geometry built in code may use it.
class ENGINE_API MaxVertex {
public:
    // Size of one vertex in bytes.
    static constexpr unsigned int Size = 120;
    // Number of texture coordinates.
    static constexpr unsigned int TexCoordCount = 10;

    MaxVertex() = default;
    MaxVertex(Math::Vec4f const& position, Math::Vec3f const& normal,
              Math::Vec3f const& smoothNormal);
    MaxVertex(MaxVertex const&) = default;
    MaxVertex& operator=(MaxVertex const&) = default;

    // Exact comparison of position, normal and all ten texture coordinates;
    // the smooth normal is not compared.
    bool operator==(MaxVertex other) const;
    bool operator!=(MaxVertex other) const;

    Math::Vec4f position;
    Math::Vec3f normal = Math::Vec3f(0.0f, 0.0f, 0.0f);
    Math::Vec3f smoothNormal = Math::Vec3f(0.0f, 0.0f, 0.0f);
    Math::Vec2f texCoords[TexCoordCount];
};

static_assert(sizeof(MaxVertex) == MaxVertex::Size, "MaxVertex must be packed to 120 bytes");

} // namespace Engine::Util
