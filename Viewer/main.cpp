#include <Viewer/ViewerMain.h>

int main(int argc, char** argv) {
    return Viewer::RunViewer(argc, argv);
}
