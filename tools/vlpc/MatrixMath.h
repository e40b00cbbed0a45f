#pragma once

#include <vlpc/FormatRecords.h>

// Column-major 4x4 matrices of the tool's mesh placements.
namespace vlpc {

// a * b.
Mat4 multiply(Mat4 const& a, Mat4 const& b);
// A rotation by degrees about the x (0), y (1) or z (2) axis.
Mat4 rotation(int axis, double degrees);
Mat4 translation(Vec3 const& offset);
Mat4 scaling(Vec3 const& factors);

} // namespace vlpc
