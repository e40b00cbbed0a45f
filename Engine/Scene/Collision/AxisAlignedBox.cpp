#include <Engine/Scene/Collision/AxisAlignedBox.h>
#include <Engine/Scene/Collision/OrientedBox.h>

namespace Engine::Scene::Collision {

AxisAlignedBox::AxisAlignedBox(OrientedBox* box) : box(box) {}

AxisAlignedBox::~AxisAlignedBox() {
    delete box;
}

void AxisAlignedBox::Update(Math::Mat4f const& ownerMatrix, float time) {
    if (box == nullptr) {
        return;
    }
    box->Update(ownerMatrix, time);
    min = box->Minimum();
    max = box->Maximum();
}

} // namespace Engine::Scene::Collision
