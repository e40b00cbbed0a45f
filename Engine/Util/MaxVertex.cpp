#include <Engine/Util/MaxVertex.h>

namespace Engine::Util {

MaxVertex::MaxVertex(Math::Vec4f const& position, Math::Vec3f const& normal,
                     Math::Vec3f const& smoothNormal)
    : position(position), normal(normal), smoothNormal(smoothNormal) {}

bool MaxVertex::operator==(MaxVertex other) const {
    if (position != other.position || normal != other.normal) {
        return false;
    }
    for (unsigned int i = 0; i < TexCoordCount; ++i) {
        if (texCoords[i] != other.texCoords[i]) {
            return false;
        }
    }
    return true;
}

bool MaxVertex::operator!=(MaxVertex other) const {
    return !(*this == other);
}

} // namespace Engine::Util
