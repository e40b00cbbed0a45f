#pragma once

namespace Game {

class DemoHooks;

// The whole program around a demo: reads the command line, runs the shell on
// a GLFW window and, if the log holds an unread fatal message and a person is
// at the terminal, waits for Enter before returning the exit code.
int RunGame(int argc, char const* const* argv, DemoHooks& demo);

} // namespace Game
