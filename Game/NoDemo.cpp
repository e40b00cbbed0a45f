#include <Engine/Util/Logger.h>
#include <Game/NoDemo.h>

namespace Game {

DemoHooks::Scene NoDemo::Build(ApplicationState&) {
    Engine::Util::Logger::Instance()->Message("No demo scene is built into this program", nullptr);
    return Scene();
}

} // namespace Game
