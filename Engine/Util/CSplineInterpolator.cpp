#include <Engine/Math/Vec4f.h>
#include <Engine/Render/Shader/ForwardShader.h>
#include <Engine/Util/CSplineInterpolator.h>
#include <Engine/Util/CurvePoint.h>
#include <Engine/Util/DebugDrawSettings.h>
#include <GL/glew.h>
#include <vector>

namespace Engine::Util {

using Math::Vec3f;

CSplineInterpolator::CSplineInterpolator(CurvePoint** points, unsigned short count) {
    if (points == nullptr) {
        return;
    }
    if (count < 2) {
        // Too few points for a curve: nothing to interpolate, but the points
        // are still ours.
        for (unsigned short i = 0; i < count; ++i) {
            delete points[i];
        }
        delete[] points;
        return;
    }
    this->points = points;
    pointCount = count;
    const unsigned int n = count;
    curveLength = points[n - 1]->Time();

    points[0]->Tangent((points[1]->Point() - points[0]->Point()) /
                       (points[1]->Time() - points[0]->Time()));
    for (unsigned int i = 1; i + 1 < n; ++i) {
        // The mean of the slopes of the two neighbouring segments.
        const Vec3f before = (points[i]->Point() - points[i - 1]->Point()) /
                             ((points[i]->Time() - points[i - 1]->Time()) * 2.0f);
        const Vec3f after = (points[i + 1]->Point() - points[i]->Point()) /
                            ((points[i + 1]->Time() - points[i]->Time()) * 2.0f);
        points[i]->Tangent(before + after);
    }
    points[n - 1]->Tangent((points[n - 1]->Point() - points[n - 2]->Point()) /
                           (points[n - 1]->Time() - points[n - 2]->Time()));
}

CSplineInterpolator::~CSplineInterpolator() {
    for (unsigned short i = 0; i < pointCount; ++i) {
        delete points[i];
    }
    delete[] points;
}

Vec3f CSplineInterpolator::Interpolate(float t) const {
    if (pointCount < 2) {
        return Vec3f(0.0f, 0.0f, 0.0f);
    }
    if (t > curveLength) {
        t = curveLength;
    }
    const unsigned int n = pointCount;
    unsigned int k = 1;
    if (t > points[0]->Time()) {
        // The first key at or after t (the times increase, so a binary search).
        unsigned int low = 1;
        unsigned int high = n - 1;
        while (low < high) {
            const unsigned int mid = (low + high) / 2;
            if (points[mid]->Time() >= t) {
                high = mid;
            } else {
                low = mid + 1;
            }
        }
        k = low;
    }
    CurvePoint const& p0 = *points[k - 1];
    CurvePoint const& p1 = *points[k];
    const float d = p1.Time() - p0.Time();
    const float s = (t - p0.Time()) / d;
    const float s2 = s * s;
    const float s3 = s2 * s;
    const float h00 = 2.0f * s3 - 3.0f * s2 + 1.0f;
    const float h10 = s3 - 2.0f * s2 + s;
    const float h01 = 3.0f * s2 - 2.0f * s3;
    const float h11 = s3 - s2;
    return p0.Point() * h00 + p0.Tangent() * h10 * d + p1.Point() * h01 + p1.Tangent() * h11 * d;
}

void CSplineInterpolator::DrawDebug(DebugDrawSettings const& settings,
                                    Render::CDFrameBuffer* target, Math::Vec3f const& color) const {
    Render::Shader::ForwardShader* shader = settings.LineShader();
    if (pointCount < 2 || !DebugDrawSettings::Prepare(shader, target)) {
        return;
    }
    // Ten samples per whole second; consecutive samples pair into dashes.
    const int seconds = static_cast<int>(curveLength);
    std::vector<Math::Vec4f> vertices;
    for (int i = 0; i < 10 * seconds; ++i) {
        vertices.emplace_back(Interpolate(static_cast<float>(i) / 10.0f), 1.0f);
    }
    shader->SetDiffuseColor(color);
    if (!vertices.empty()) {
        shader->BindArrayToVertex(vertices.data());
        glDrawArrays(GL_LINES, 0, static_cast<GLsizei>(vertices.size()));
    }

    std::vector<Math::Vec4f> keys;
    for (unsigned short i = 0; i < pointCount; ++i) {
        keys.emplace_back(points[i]->Point(), 1.0f);
    }
    shader->SetDiffuseColor(color);
    glPointSize(10.0f);
    DebugDrawSettings::DrawArrays(shader, keys.data(), pointCount, GL_POINTS);
}

} // namespace Engine::Util
