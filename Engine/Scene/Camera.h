#pragma once

#include <Engine/Export.h>
#include <Engine/Math/Mat4f.h>
#include <Engine/Math/Vec3f.h>
#include <Engine/Math/Vec4f.h>
#include <map>
#include <vector>

namespace Engine::Util {
class Timer;
}

namespace Engine::Scene {

class Mesh;
class World;

// Abstract base of all cameras: turns the world matrix of the object that
// carries it into view and projection matrices, gathers the meshes it draws
// into a render list grouped by shader, and renders a frame of its world.
class ENGINE_API Camera {
public:
    explicit Camera(World* world);
    Camera(World* world, unsigned width, unsigned height, float fov, float nearPlane,
           float farPlane);
    // Frees the render list, not the meshes.
    virtual ~Camera() = default;
    Camera(Camera const&) = delete;
    Camera& operator=(Camera const&) = delete;

    // Takes the camera's world matrix; with cull, refills the render list.
    virtual void Update(Math::Mat4f const& worldMatrix, bool cull);
    virtual void RenderFrame(Util::Timer const& timer) = 0;
    // Viewport size in pixels, vertical field of view in radians, clip distances.
    virtual void SetCameraParameter(unsigned width, unsigned height, float fov, float nearPlane,
                                    float farPlane);

    unsigned Width() const { return width; }
    unsigned Height() const { return height; }
    float FoV() const { return fov; }
    float NearPlane() const { return nearPlane; }
    float FarPlane() const { return farPlane; }
    Math::Mat4f const& PerspectiveMatrix() const { return perspectiveMatrix; }
    Math::Mat4f const& InversePerspectiveMatrix() const { return inversePerspectiveMatrix; }
    Math::Mat4f const& AbsoluteMatrix() const { return absoluteMatrix; }
    Math::Vec4f const& Location() const { return location; }
    Math::Vec3f const& View() const { return view; }
    // The meshes to draw, keyed by the id of their material's shader. Keys
    // stay from frame to frame; their vectors are refilled.
    std::map<unsigned short, std::vector<Mesh*>> const& CurrentRenderList() const {
        return renderList;
    }

protected:
    Math::Mat4f const& InverseAbsoluteMatrix() const { return inverseAbsoluteMatrix; }

    // Refills the render list from the world's mesh draw components.
    virtual void ViewFrustrumCulling();
    // Lists the mesh (if it has a material with a shader) and visits its
    // children; the base camera lists everything.
    virtual void ViewFrustrumCulling(Mesh* mesh);
    // Appends the mesh to its shader's vector when it has a material with a
    // shader.
    void AddToRenderList(Mesh* mesh);

    World* world;
    unsigned width = 0;
    unsigned height = 0;
    float nearPlane = 0.0f;
    float farPlane = 0.0f;
    float fov = 0.0f;
    float aspect = 0.0f;
    float nearHalfHeight = 0.0f;
    float nearHalfWidth = 0.0f;
    float farHalfHeight = 0.0f;
    float farHalfWidth = 0.0f;
    std::map<unsigned short, std::vector<Mesh*>> renderList;
    Math::Mat4f viewMatrix;
    Math::Mat4f worldMatrix;
    Math::Mat4f perspectiveMatrix;
    Math::Mat4f inversePerspectiveMatrix;
    Math::Vec4f location;
    Math::Vec3f view;
    Math::Mat4f absoluteMatrix;
    Math::Mat4f inverseAbsoluteMatrix;
};

} // namespace Engine::Scene
