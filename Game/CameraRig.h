#pragma once

#include <Engine/Math/Mat4f.h>
#include <Engine/Math/Vec3f.h>

namespace Game {

class InputState;

// The user's camera: an orbit about a pivot. The arrow keys and a
// middle-button drag turn it, or pan the pivot while Shift is held; Plus,
// Minus and the wheel change the distance from the pivot. Matrix() is the
// camera's world matrix.
class CameraRig {
public:
    // Per-frame steps of the controls.
    static constexpr float PanStep = 0.1f;        // arrows with Shift
    static constexpr float PanPerPixel = 0.005f;  // middle drag with Shift
    static constexpr float TurnStep = 0.02f;      // arrows, radians
    static constexpr float TurnPerPixel = 0.004f; // middle drag, radians
    static constexpr float DistanceStep = 0.03f;  // Plus / Minus
    static constexpr float WheelStep = 0.1f;      // per wheel notch
    static constexpr float ShiftWheelStep = 1.0f; // per wheel notch with Shift
    static constexpr float InitialDistance = 5.0f;

    // Moves the rig by one frame's input.
    void Move(InputState const& input);

    // Puts the rig at a pivot, distance and orientation.
    void Place(Engine::Math::Vec3f const& newPivot, float newDistance,
               Engine::Math::Mat4f const& newRotation);

    // Translate(pivot) * rotation * Translate((0, 0, distance)).
    Engine::Math::Mat4f Matrix() const;

    Engine::Math::Mat4f const& Rotation() const { return rotation; }
    Engine::Math::Vec3f const& Pivot() const { return pivot; }
    float Distance() const { return distance; }

private:
    void pan(InputState const& input, int dx, int dy);
    void turn(InputState const& input, int dx, int dy);
    void zoom(InputState const& input);

    Engine::Math::Mat4f rotation;
    Engine::Math::Vec3f pivot;
    float distance = InitialDistance;
};

} // namespace Game
