#include <Game/Demo.h>
#include <Game/GameMain.h>

int main(int argc, char** argv) {
    Game::Demo demo;
    return Game::RunGame(argc, argv, demo);
}
