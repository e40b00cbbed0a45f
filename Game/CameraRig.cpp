#include <Game/CameraRig.h>
#include <Game/InputState.h>

namespace Game {

using Engine::Math::Mat4f;
using Engine::Math::Vec3f;

void CameraRig::Move(InputState const& input) {
    const int dx = input.Cursor().x - input.PreviousCursor().x;
    const int dy = input.Cursor().y - input.PreviousCursor().y;
    if (input.KeyHeld(KeyCode::Shift)) {
        pan(input, dx, dy);
    } else {
        turn(input, dx, dy);
    }
    zoom(input);
}

void CameraRig::Place(Vec3f const& newPivot, float newDistance, Mat4f const& newRotation) {
    pivot = newPivot;
    distance = newDistance;
    rotation = newRotation;
}

Mat4f CameraRig::Matrix() const {
    return Mat4f::Translate(pivot) * rotation * Mat4f::Translate(Vec3f(0.0f, 0.0f, distance));
}

void CameraRig::pan(InputState const& input, int dx, int dy) {
    const Vec3f up = rotation * Vec3f(0.0f, 1.0f, 0.0f);
    const Vec3f right = rotation * Vec3f(1.0f, 0.0f, 0.0f);
    if (input.KeyHeld(KeyCode::Right)) {
        pivot += right * PanStep;
    }
    if (input.KeyHeld(KeyCode::Left)) {
        pivot -= right * PanStep;
    }
    if (input.KeyHeld(KeyCode::Up)) {
        pivot += up * PanStep;
    }
    if (input.KeyHeld(KeyCode::Down)) {
        pivot -= up * PanStep;
    }
    if (input.ButtonHeld(InputState::MiddleButton)) {
        // Window y grows downwards: dragging down moves the pivot up, so the
        // scene follows the cursor.
        if (dx != 0) {
            pivot -= right * (PanPerPixel * static_cast<float>(dx));
        }
        if (dy != 0) {
            pivot += up * (PanPerPixel * static_cast<float>(dy));
        }
    }
}

void CameraRig::turn(InputState const& input, int dx, int dy) {
    if (input.KeyHeld(KeyCode::Right)) {
        Mat4f::RotateY(rotation, TurnStep);
    }
    if (input.KeyHeld(KeyCode::Left)) {
        Mat4f::RotateY(rotation, -TurnStep);
    }
    if (input.KeyHeld(KeyCode::Up)) {
        Mat4f::RotateX(rotation, -TurnStep);
    }
    if (input.KeyHeld(KeyCode::Down)) {
        Mat4f::RotateX(rotation, TurnStep);
    }
    if (input.ButtonHeld(InputState::MiddleButton)) {
        if (dx != 0) {
            Mat4f::RotateY(rotation, -TurnPerPixel * static_cast<float>(dx));
        }
        if (dy != 0) {
            Mat4f::RotateX(rotation, -TurnPerPixel * static_cast<float>(dy));
        }
    }
}

void CameraRig::zoom(InputState const& input) {
    if (input.KeyHeld(KeyCode::Plus)) {
        distance -= DistanceStep;
    }
    if (input.KeyHeld(KeyCode::Minus)) {
        distance += DistanceStep;
    }
    const float notches = input.WheelNotches();
    if (notches != 0.0f) {
        distance -= notches * (input.KeyHeld(KeyCode::Shift) ? ShiftWheelStep : WheelStep);
    }
}

} // namespace Game
