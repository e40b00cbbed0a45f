#include "TestScene.h"

#include <Game/GameMain.h>

int main(int argc, char** argv) {
    GameTestSupport::TestScene scene;
    return Game::RunGame(argc, argv, scene);
}
