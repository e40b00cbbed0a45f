#include <Engine/Math/Vec2f.h>
#include <type_traits>

namespace Engine::Math {

static_assert(sizeof(Vec2f) == 2 * sizeof(float));
static_assert(std::is_trivially_copyable_v<Vec2f>);

std::ostream& operator<<(std::ostream& os, const Vec2f& v) {
    return os << "[" << v.Y() << ", " << v.X() << "]";
}

} // namespace Engine::Math
