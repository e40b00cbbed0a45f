#include <GLFW/glfw3.h>
#include <Game/GlfwKeyMap.h>
#include <Game/KeyCodes.h>

namespace Game {

namespace {

struct KeyPair {
    int glfwKey;
    int virtualKey;
};

const KeyPair singleKeys[] = {
    {GLFW_KEY_ESCAPE, KeyCode::Escape},     {GLFW_KEY_SPACE, KeyCode::Space},
    {GLFW_KEY_LEFT_SHIFT, KeyCode::Shift},  {GLFW_KEY_RIGHT_SHIFT, KeyCode::Shift},
    {GLFW_KEY_LEFT_CONTROL, KeyCode::Ctrl}, {GLFW_KEY_RIGHT_CONTROL, KeyCode::Ctrl},
    {GLFW_KEY_LEFT, KeyCode::Left},         {GLFW_KEY_UP, KeyCode::Up},
    {GLFW_KEY_RIGHT, KeyCode::Right},       {GLFW_KEY_DOWN, KeyCode::Down},
    {GLFW_KEY_EQUAL, KeyCode::Plus},        {GLFW_KEY_MINUS, KeyCode::Minus},
    {GLFW_KEY_KP_ADD, KeyCode::KeypadPlus}, {GLFW_KEY_KP_SUBTRACT, KeyCode::KeypadMinus},
};

} // namespace

int VirtualKeyFromGlfw(int glfwKey) {
    if (glfwKey >= GLFW_KEY_A && glfwKey <= GLFW_KEY_Z) {
        return KeyCode::A + (glfwKey - GLFW_KEY_A);
    }
    if (glfwKey >= GLFW_KEY_0 && glfwKey <= GLFW_KEY_9) {
        return KeyCode::Digit0 + (glfwKey - GLFW_KEY_0);
    }
    if (glfwKey >= GLFW_KEY_F1 && glfwKey <= GLFW_KEY_F12) {
        return KeyCode::F1 + (glfwKey - GLFW_KEY_F1);
    }
    for (KeyPair const& pair : singleKeys) {
        if (pair.glfwKey == glfwKey) {
            return pair.virtualKey;
        }
    }
    return -1;
}

} // namespace Game
