#include <Engine/Render/Viewer.h>
#include <Engine/Scene/World.h>

namespace Engine::Render {

Viewer::Viewer() {
    timer.Start();
}

Viewer::Viewer(Util::Timer const& initialTimer) : timer(initialTimer) {
    timer.Start();
}

void Viewer::RestartTimer() {
    timer.Stop();
    timer.Start();
}

Viewer::~Viewer() {
    timer.Stop();
    delete currentWorld;
}

Viewer* Viewer::CurrentWorld(Scene::World* world) {
    currentWorld = world;
    return this;
}

void Viewer::RenderFrame() {
    if (currentWorld == nullptr) {
        return;
    }
    timer.NextFrame();
    currentWorld->Update(timer.AbsoluteTime());
    currentWorld->RenderFrame(timer);
}

} // namespace Engine::Render
