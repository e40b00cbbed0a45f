#include <Engine/Util/CurvePoint.h>

namespace Engine::Util {

CurvePoint::CurvePoint(Math::Vec3f const& point, float time) : point(point), time(time) {}

} // namespace Engine::Util
