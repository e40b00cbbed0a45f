#include <Engine/Scene/BSPNode.h>

namespace Engine::Scene {

using Math::Vec3f;

BSPNode::BSPNode(float d, Vec3f const& normal, unsigned int const* indices)
    : triangle{indices[0], indices[1], indices[2]}, d(d), n(normal) {}

BSPNode::~BSPNode() {
    // Trees built from convex meshes degenerate into long chains; taking the
    // subtrees apart with an explicit stack keeps deep trees off the call stack.
    std::vector<BSPNode*> pending;
    if (back) {
        pending.push_back(back);
    }
    if (front) {
        pending.push_back(front);
    }
    while (!pending.empty()) {
        BSPNode* node = pending.back();
        pending.pop_back();
        if (node->back) {
            pending.push_back(node->back);
        }
        if (node->front) {
            pending.push_back(node->front);
        }
        node->front = nullptr;
        node->back = nullptr;
        delete node;
    }
}

void BSPNode::AddThisTriangle(std::vector<unsigned int>& out) const {
    out.push_back(triangle[0]);
    out.push_back(triangle[1]);
    out.push_back(triangle[2]);
}

void BSPNode::CreateIndexBuffer(Vec3f const& eye, std::vector<unsigned int>& out) const {
    if (front == nullptr && back == nullptr) {
        AddThisTriangle(out);
        return;
    }
    const float side = Vec3f::DotProd(n, eye) - d;
    BSPNode const* far = side > 0.0f ? back : front;
    BSPNode const* near = side > 0.0f ? front : back;
    if (far) {
        far->CreateIndexBuffer(eye, out);
    }
    AddThisTriangle(out);
    if (near) {
        near->CreateIndexBuffer(eye, out);
    }
}

} // namespace Engine::Scene
