#pragma once

namespace Viewer {

// The viewer program: reads the command line, compiles the model file (or
// takes it from the cache), then shows it in the shell on a GLFW window.
// Returns 0, or 1 for a file that cannot be shown, a bad command line or no
// window.
int RunViewer(int argc, char const* const* argv);

} // namespace Viewer
