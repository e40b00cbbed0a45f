#pragma once

#include <Engine/Export.h>
#include <Engine/Math/Vec2f.h>
#include <Engine/Math/Vec3f.h>
#include <Engine/Math/Vec4f.h>

namespace Engine::Util {

// Vertex with two texture-coordinate channels, each with its tangent (w holds
// the handedness). The in-memory layout (88 bytes) is the layout of the
// geometry records and of the vertex buffers; channel k starts at byte 40 + 24k.
class ENGINE_API UVVertex {
public:
    // Size of one vertex in bytes, in files and in vertex buffers.
    static constexpr unsigned int Size = 88;
    // Number of texture-coordinate channels.
    static constexpr unsigned int ChannelCount = 2;
    // Byte offset of channel 0 and the size of one channel.
    static constexpr unsigned int FirstChannelOffset = 40;
    static constexpr unsigned int ChannelSize = 24;

    UVVertex() = default;
    UVVertex(Math::Vec4f const& position, Math::Vec3f const& normal,
             Math::Vec3f const& smoothNormal);
    UVVertex(Math::Vec4f const& position, Math::Vec3f const& normal,
             Math::Vec3f const& smoothNormal, Math::Vec2f const& texCoord0,
             Math::Vec4f const& tangent0, Math::Vec2f const& texCoord1,
             Math::Vec4f const& tangent1);
    UVVertex(UVVertex const&) = default;
    UVVertex& operator=(UVVertex const&) = default;

    // Exact comparison of position, both texture coordinates, normal and both
    // tangents; the smooth normal is not compared.
    bool operator==(UVVertex other) const;
    bool operator!=(UVVertex other) const;

    Math::Vec4f position;
    Math::Vec3f normal = Math::Vec3f(0.0f, 0.0f, 0.0f);
    Math::Vec3f smoothNormal = Math::Vec3f(0.0f, 0.0f, 0.0f);
    Math::Vec2f texCoord0 = Math::Vec2f(0.0f, 0.0f);
    Math::Vec4f tangent0 = Math::Vec4f(0.0f, 0.0f, 0.0f, 1.0f);
    Math::Vec2f texCoord1 = Math::Vec2f(0.0f, 0.0f);
    Math::Vec4f tangent1 = Math::Vec4f(0.0f, 0.0f, 0.0f, 1.0f);
};

static_assert(sizeof(UVVertex) == UVVertex::Size, "UVVertex must be packed to 88 bytes");

} // namespace Engine::Util
