#include <cmath>
#include <vlpc/MatrixMath.h>

namespace vlpc {

Mat4 multiply(Mat4 const& a, Mat4 const& b) {
    Mat4 c{};
    for (int col = 0; col < 4; ++col) {
        for (int row = 0; row < 4; ++row) {
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k) {
                sum += a[k * 4 + row] * b[col * 4 + k];
            }
            c[col * 4 + row] = sum;
        }
    }
    return c;
}

Mat4 rotation(int axis, double degrees) {
    constexpr double PI = 3.14159265358979323846;
    float const c = static_cast<float>(std::cos(degrees * PI / 180.0));
    float const s = static_cast<float>(std::sin(degrees * PI / 180.0));
    Mat4 m = IDENTITY_MATRIX;
    int const i = (axis + 1) % 3;
    int const j = (axis + 2) % 3;
    m[i * 4 + i] = c;
    m[i * 4 + j] = s;
    m[j * 4 + i] = -s;
    m[j * 4 + j] = c;
    return m;
}

Mat4 translation(Vec3 const& offset) {
    Mat4 m = IDENTITY_MATRIX;
    m[12] = offset[0];
    m[13] = offset[1];
    m[14] = offset[2];
    return m;
}

Mat4 scaling(Vec3 const& factors) {
    Mat4 m = IDENTITY_MATRIX;
    m[0] = factors[0];
    m[5] = factors[1];
    m[10] = factors[2];
    return m;
}

} // namespace vlpc
