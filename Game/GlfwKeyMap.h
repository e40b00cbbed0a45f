#pragma once

namespace Game {

// Translates GLFW key codes into the virtual-key codes of the input state:
// letters, digits, F1-F12, Escape, Space, either Shift, either Ctrl, the
// arrows, the main keyboard's = / + and - keys and the keypad's + and -.
// Returns -1 for keys the program does not use.
int VirtualKeyFromGlfw(int glfwKey);

} // namespace Game
