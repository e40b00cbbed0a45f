#include <Engine/Util/BaseVertex.h>

namespace Engine::Util {

BaseVertex::BaseVertex(Math::Vec4f const& position, Math::Vec3f const& normal,
                       Math::Vec3f const& smoothNormal)
    : position(position), normal(normal), smoothNormal(smoothNormal) {}

bool BaseVertex::operator==(BaseVertex other) const {
    return position == other.position && normal == other.normal &&
           smoothNormal == other.smoothNormal;
}

bool BaseVertex::operator!=(BaseVertex other) const {
    return !(*this == other);
}

} // namespace Engine::Util
