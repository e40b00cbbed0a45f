#include <Game/GameMain.h>
#include <Game/NoDemo.h>

int main(int argc, char** argv) {
    Game::NoDemo demo;
    return Game::RunGame(argc, argv, demo);
}
