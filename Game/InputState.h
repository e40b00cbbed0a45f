#pragma once

#include <Game/KeyCodes.h>
#include <cstdint>

namespace Game {

// Keyboard and mouse input as the frame loop sees it: what is held now, what
// was pressed or released since the last frame, the wheel movement and the
// cursor. The windowing layer feeds events in; the loop reads the state once
// per frame and then starts the next frame with EndFrame.
class InputState {
public:
    struct Point {
        std::int32_t x = 0;
        std::int32_t y = 0;
    };

    // Mouse button indexes.
    static constexpr int LeftButton = 0;
    static constexpr int RightButton = 1;
    static constexpr int MiddleButton = 2;
    static constexpr int ButtonCount = 3;

    // Key events by virtual-key code; codes outside 0..255 are ignored. A
    // repeated key-down (auto-repeat) counts as another key-down.
    void KeyDown(int code);
    void KeyUp(int code);
    // Mouse button events by index; other indexes are ignored.
    void ButtonDown(int button);
    void ButtonUp(int button);
    // Adds wheel movement in notches (positive away from the user).
    void Wheel(float notches);

    // Clears what belongs to one frame (pressed, released, wheel) and moves
    // the cursor on: the current position becomes the previous one.
    void EndFrame(Point cursorNow);
    // Sets both cursor positions, so that the first frame sees no movement.
    void ResetCursor(Point cursorNow);

    bool KeyHeld(int code) const { return valid(code) && keyDown[code] != 0; }
    bool KeyPressed(int code) const { return valid(code) && keyPressed[code] != 0; }
    bool KeyReleased(int code) const { return valid(code) && keyReleased[code] != 0; }
    bool ButtonHeld(int button) const { return validButton(button) && buttonDown[button] != 0; }
    bool ButtonPressed(int button) const {
        return validButton(button) && buttonPressed[button] != 0;
    }
    bool ButtonReleased(int button) const {
        return validButton(button) && buttonReleased[button] != 0;
    }
    float WheelNotches() const { return wheel; }
    Point Cursor() const { return cursor; }
    Point PreviousCursor() const { return previousCursor; }

private:
    static bool valid(int code) { return code >= 0 && code < KeyCode::Count; }
    static bool validButton(int button) { return button >= 0 && button < ButtonCount; }

    std::uint8_t keyDown[KeyCode::Count] = {};
    std::uint8_t keyPressed[KeyCode::Count] = {};
    std::uint8_t keyReleased[KeyCode::Count] = {};
    std::uint8_t buttonDown[ButtonCount] = {};
    std::uint8_t buttonPressed[ButtonCount] = {};
    std::uint8_t buttonReleased[ButtonCount] = {};
    float wheel = 0.0f;
    Point previousCursor;
    Point cursor;
};

} // namespace Game
