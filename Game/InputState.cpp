#include <Game/InputState.h>
#include <algorithm>
#include <iterator>

namespace Game {

void InputState::KeyDown(int code) {
    if (valid(code)) {
        keyDown[code] = 1;
        keyPressed[code] = 1;
    }
}

void InputState::KeyUp(int code) {
    if (valid(code)) {
        keyDown[code] = 0;
        keyReleased[code] = 1;
    }
}

void InputState::ButtonDown(int button) {
    if (validButton(button)) {
        buttonDown[button] = 1;
        buttonPressed[button] = 1;
    }
}

void InputState::ButtonUp(int button) {
    if (validButton(button)) {
        buttonDown[button] = 0;
        buttonReleased[button] = 1;
    }
}

void InputState::Wheel(float notches) {
    wheel += notches;
}

void InputState::EndFrame(Point cursorNow) {
    wheel = 0.0f;
    std::fill(std::begin(keyPressed), std::end(keyPressed), 0);
    std::fill(std::begin(keyReleased), std::end(keyReleased), 0);
    std::fill(std::begin(buttonPressed), std::end(buttonPressed), 0);
    std::fill(std::begin(buttonReleased), std::end(buttonReleased), 0);
    previousCursor = cursor;
    cursor = cursorNow;
}

void InputState::ResetCursor(Point cursorNow) {
    previousCursor = cursorNow;
    cursor = cursorNow;
}

} // namespace Game
