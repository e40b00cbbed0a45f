#include <Game/Demo.h>
#include <Game/GameMain.h>
#ifdef __GLIBC__
#include <malloc.h>
#endif

int main(int argc, char** argv) {
#ifdef __GLIBC__
    // Blocks of 128 KiB and more are mapped for themselves and go back to the
    // system when freed. glibc otherwise raises that threshold as large blocks
    // are freed, and then keeps the software OpenGL driver's large per-frame
    // buffers in its heap: resident memory stayed tens of megabytes above what
    // was in use, and its peaks crept up from one pass of the demo to the next.
    mallopt(M_MMAP_THRESHOLD, 128 * 1024);
#endif
    Game::Demo demo;
    return Game::RunGame(argc, argv, demo);
}
