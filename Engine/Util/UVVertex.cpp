#include <Engine/Util/UVVertex.h>
#include <cstddef>

namespace Engine::Util {

static_assert(offsetof(UVVertex, texCoord0) == UVVertex::FirstChannelOffset);
static_assert(offsetof(UVVertex, tangent0) == UVVertex::FirstChannelOffset + 8);
static_assert(offsetof(UVVertex, texCoord1) ==
              UVVertex::FirstChannelOffset + UVVertex::ChannelSize);
static_assert(offsetof(UVVertex, tangent1) ==
              UVVertex::FirstChannelOffset + UVVertex::ChannelSize + 8);

UVVertex::UVVertex(Math::Vec4f const& position, Math::Vec3f const& normal,
                   Math::Vec3f const& smoothNormal)
    : position(position), normal(normal), smoothNormal(smoothNormal) {}

UVVertex::UVVertex(Math::Vec4f const& position, Math::Vec3f const& normal,
                   Math::Vec3f const& smoothNormal, Math::Vec2f const& texCoord0,
                   Math::Vec4f const& tangent0, Math::Vec2f const& texCoord1,
                   Math::Vec4f const& tangent1)
    : position(position), normal(normal), smoothNormal(smoothNormal), texCoord0(texCoord0),
      tangent0(tangent0), texCoord1(texCoord1), tangent1(tangent1) {}

bool UVVertex::operator==(UVVertex other) const {
    return position == other.position && texCoord0 == other.texCoord0 &&
           texCoord1 == other.texCoord1 && normal == other.normal && tangent0 == other.tangent0 &&
           tangent1 == other.tangent1;
}

bool UVVertex::operator!=(UVVertex other) const {
    return !(*this == other);
}

} // namespace Engine::Util
