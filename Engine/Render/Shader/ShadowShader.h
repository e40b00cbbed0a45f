#pragma once

#include <Engine/Math/Mat4f.h>
#include <Engine/Math/Vec2f.h>
#include <Engine/Math/Vec4f.h>
#include <Engine/Render/Shader/Shader.h>
#include <Engine/Scene/LightType.h>

namespace Engine::Render::Shader {

// The program that renders a shadow map from a light: it writes the
// normalised distance to the light and its square. Its sources are compiled
// with a prefix chosen by the light type (CUBEMAP for shadow-casting point
// lights, GODRAYSPOT for god-ray spot lights).
class ENGINE_API ShadowShader : public Shader {
public:
    static constexpr int CubeMapFaces = 6;

    // A spot light's map: vertex and fragment stage.
    ShadowShader(LightType type, char const* vertexFile, char const* fragmentFile);
    // A point light's cube map: the geometry stage emits every triangle into
    // the six faces in one pass.
    ShadowShader(LightType type, char const* vertexFile, char const* geometryFile,
                 char const* fragmentFile);

    void SetNearAndFarPlane(Math::Vec2f const& nearAndFar) const;
    void SetWsLightPos(Math::Vec4f const& position) const;
    // Ignores an index above 5.
    void SetCubeMapViewMat(int face, Math::Mat4f const& matrix) const;
    void SetShadowMapResulution(int width) const;

    // The version line and defines a light type's sources are compiled with.
    static char const* Prefix(LightType type);

protected:
    unsigned int LoadShaderFile(LightType type, char const* path, unsigned int stage);

private:
    void build(LightType type, char const* vertexFile, char const* geometryFile,
               char const* fragmentFile);
    void bindUniformLocation();

    int nearAndFarPlaneHandle = -1;
    int wsLightPosHandle = -1;
    int cubeMapMatHandles[CubeMapFaces] = {-1, -1, -1, -1, -1, -1};
    int shadowMapResulutionHandle = -1;
};

} // namespace Engine::Render::Shader
