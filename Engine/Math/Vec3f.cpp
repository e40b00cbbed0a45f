#include <Engine/Math/Vec3f.h>
#include <type_traits>

namespace Engine::Math {

static_assert(sizeof(Vec3f) == 3 * sizeof(float));
static_assert(std::is_trivially_copyable_v<Vec3f>);

std::ostream& operator<<(std::ostream& os, const Vec3f& v) {
    return os << "[" << v.X() << ", " << v.Y() << ", " << v.Z() << "]";
}

} // namespace Engine::Math
