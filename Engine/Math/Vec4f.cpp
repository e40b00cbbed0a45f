#include <Engine/Math/Vec4f.h>
#include <type_traits>

namespace Engine::Math {

static_assert(sizeof(Vec4f) == 4 * sizeof(float));
static_assert(std::is_trivially_copyable_v<Vec4f>);

std::ostream& operator<<(std::ostream& os, const Vec4f& v) {
    return os << "[" << v.X() << ", " << v.Y() << ", " << v.Z() << ", " << v.W() << "]";
}

} // namespace Engine::Math
