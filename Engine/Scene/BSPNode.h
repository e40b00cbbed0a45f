#pragma once

#include <Engine/Export.h>
#include <Engine/Math/Vec3f.h>
#include <vector>

namespace Engine::Scene {

// One node of a BSP tree: a triangle (three vertex indices), the plane it lies
// in (n . p = d, front where n . p - d > 0) and the subtrees in front of and
// behind that plane. Owns its subtrees.
class ENGINE_API BSPNode {
public:
    BSPNode(float d, Math::Vec3f const& normal, unsigned int const* indices);
    // Deletes the front subtree, then the back subtree.
    ~BSPNode();
    BSPNode(BSPNode const&) = delete;
    BSPNode& operator=(BSPNode const&) = delete;

    BSPNode* Front() const { return front; }
    void Front(BSPNode* node) { front = node; }
    BSPNode* Back() const { return back; }
    void Back(BSPNode* node) { back = node; }

    unsigned int const* Triangle() const { return triangle; }
    float Distance() const { return d; }
    Math::Vec3f const& Normal() const { return n; }

    // Appends the node's three indices.
    void AddThisTriangle(std::vector<unsigned int>& out) const;
    // Appends the subtree's triangles in painter's order for the eye: at every
    // node the far side first, then the node's triangle, then the eye's side.
    void CreateIndexBuffer(Math::Vec3f const& eye, std::vector<unsigned int>& out) const;

private:
    unsigned int triangle[3];
    float d;
    Math::Vec3f n;
    BSPNode* front = nullptr;
    BSPNode* back = nullptr;
};

} // namespace Engine::Scene
