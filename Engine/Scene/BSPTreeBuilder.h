#pragma once

#include <Engine/Export.h>
#include <Engine/Util/BaseVertex.h>
#include <vector>

namespace Engine::Scene {

class BSPNode;

// Builds the BSP tree of a triangle mesh, without OpenGL. Every node holds one
// triangle; a triangle that straddles a node's plane is split there, and the
// vertices of the pieces are appended to the vertex array. Each node takes the
// triangle plane of its list that best balances the triangles in front of and
// behind it, the one that splits fewer breaking ties.
class ENGINE_API BSPTreeBuilder {
public:
    // Distance within which a vertex counts as lying in a partition plane.
    static constexpr float PlaneEpsilon = 0.01f;

    // The tree over the triangles of indices, owned by the caller; null when
    // there are no triangles. Triangles that name a vertex the array lacks are
    // dropped.
    static BSPNode* Build(std::vector<Util::BaseVertex>& vertices,
                          std::vector<unsigned int> const& indices);
};

} // namespace Engine::Scene
