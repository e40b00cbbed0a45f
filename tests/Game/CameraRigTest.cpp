#include "Math/MathTestHelpers.h"

#include <Game/CameraRig.h>
#include <Game/InputState.h>
#include <cmath>
#include <gtest/gtest.h>

using Engine::Math::Mat4f;
using Engine::Math::Vec3f;
using Engine::Math::TestUtil::Near;
using Game::CameraRig;
using Game::InputState;
namespace KeyCode = Game::KeyCode;

namespace {

// Rotations written out element by element (arguments in row order).
Mat4f rotationX(float a) {
    const float c = std::cos(a);
    const float s = std::sin(a);
    return Mat4f(1, 0, 0, 0, 0, c, -s, 0, 0, s, c, 0, 0, 0, 0, 1);
}

Mat4f rotationY(float a) {
    const float c = std::cos(a);
    const float s = std::sin(a);
    return Mat4f(c, 0, s, 0, 0, 1, 0, 0, -s, 0, c, 0, 0, 0, 0, 1);
}

// One frame of the rig with the given keys held.
void moveWithKeys(CameraRig& rig, std::initializer_list<int> keys) {
    InputState input;
    for (int key : keys) {
        input.KeyDown(key);
    }
    rig.Move(input);
}

// One frame with the middle button held and the cursor moved by (dx, dy).
void drag(CameraRig& rig, int dx, int dy, bool shift) {
    InputState input;
    input.ResetCursor({100, 50});
    input.EndFrame({100 + dx, 50 + dy});
    input.ButtonDown(InputState::MiddleButton);
    if (shift) {
        input.KeyDown(KeyCode::Shift);
    }
    rig.Move(input);
}

void wheel(CameraRig& rig, float notches, bool shift) {
    InputState input;
    input.Wheel(notches);
    if (shift) {
        input.KeyDown(KeyCode::Shift);
    }
    rig.Move(input);
}

} // namespace

TEST(CameraRig, StartsFiveUnitsFromTheOriginAlongZ) {
    const CameraRig rig;
    EXPECT_TRUE(Near(rig.Rotation(), Mat4f()));
    EXPECT_TRUE(Near(rig.Pivot(), Vec3f(0, 0, 0)));
    EXPECT_FLOAT_EQ(rig.Distance(), 5.0f);
    EXPECT_TRUE(Near(rig.Matrix(), Mat4f(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 5, 0, 0, 0, 1)));
}

TEST(CameraRig, NoInputOrOtherKeysLeaveTheRigAsItIs) {
    CameraRig rig;
    moveWithKeys(rig, {});
    moveWithKeys(rig, {KeyCode::A, KeyCode::Space, KeyCode::Ctrl, KeyCode::Escape});
    EXPECT_TRUE(Near(rig.Matrix(), CameraRig().Matrix()));
    EXPECT_FLOAT_EQ(rig.Distance(), 5.0f);
}

TEST(CameraRig, ArrowsTurnTheRigInItsOwnFrame) {
    CameraRig rig;
    moveWithKeys(rig, {KeyCode::Right});
    EXPECT_TRUE(Near(rig.Rotation(), rotationY(0.02f)));
    moveWithKeys(rig, {KeyCode::Up});
    // Post-multiplied: the second turn is about the already turned x axis.
    EXPECT_TRUE(Near(rig.Rotation(), rotationY(0.02f) * rotationX(-0.02f)));
    EXPECT_FALSE(Near(rig.Rotation(), rotationX(-0.02f) * rotationY(0.02f), 1e-6f));
}

TEST(CameraRig, LeftAndDownTurnTheOtherWay) {
    CameraRig rig;
    moveWithKeys(rig, {KeyCode::Left});
    EXPECT_TRUE(Near(rig.Rotation(), rotationY(-0.02f)));
    moveWithKeys(rig, {KeyCode::Down});
    EXPECT_TRUE(Near(rig.Rotation(), rotationY(-0.02f) * rotationX(0.02f)));
    EXPECT_TRUE(Near(rig.Pivot(), Vec3f(0, 0, 0)));
}

TEST(CameraRig, MiddleDragTurnsByTheCursorMovement) {
    CameraRig rig;
    drag(rig, 10, -5, false);
    EXPECT_TRUE(Near(rig.Rotation(), rotationY(-0.04f) * rotationX(0.02f)));
    EXPECT_TRUE(Near(rig.Pivot(), Vec3f(0, 0, 0)));
}

TEST(CameraRig, CursorMovementWithoutTheMiddleButtonDoesNothing) {
    CameraRig rig;
    InputState input;
    input.EndFrame({40, 30});
    input.ButtonDown(InputState::LeftButton);
    rig.Move(input);
    EXPECT_TRUE(Near(rig.Rotation(), Mat4f()));
}

TEST(CameraRig, ShiftArrowsPanThePivotAlongTheRigAxes) {
    CameraRig rig;
    moveWithKeys(rig, {KeyCode::Right});
    const Vec3f right(std::cos(0.02f), 0.0f, -std::sin(0.02f));
    moveWithKeys(rig, {KeyCode::Shift, KeyCode::Right});
    EXPECT_TRUE(Near(rig.Pivot(), right * 0.1f));
    EXPECT_TRUE(Near(rig.Rotation(), rotationY(0.02f)));
    moveWithKeys(rig, {KeyCode::Shift, KeyCode::Up});
    EXPECT_TRUE(Near(rig.Pivot(), right * 0.1f + Vec3f(0, 0.1f, 0)));
    moveWithKeys(rig, {KeyCode::Shift, KeyCode::Left, KeyCode::Down});
    EXPECT_TRUE(Near(rig.Pivot(), Vec3f(0, 0, 0)));
}

TEST(CameraRig, ShiftMiddleDragPansWithTheCursor) {
    CameraRig rig;
    drag(rig, 10, 4, true);
    EXPECT_TRUE(Near(rig.Pivot(), Vec3f(-0.05f, 0.02f, 0.0f)));
    EXPECT_TRUE(Near(rig.Rotation(), Mat4f()));
}

TEST(CameraRig, PlusAndMinusChangeTheDistance) {
    CameraRig rig;
    moveWithKeys(rig, {KeyCode::Plus});
    EXPECT_FLOAT_EQ(rig.Distance(), 4.97f);
    moveWithKeys(rig, {KeyCode::Minus});
    moveWithKeys(rig, {KeyCode::Minus});
    EXPECT_FLOAT_EQ(rig.Distance(), 5.03f);
    moveWithKeys(rig, {KeyCode::Plus, KeyCode::Minus});
    EXPECT_FLOAT_EQ(rig.Distance(), 5.03f);
    // The keypad's keys have codes of their own and do not zoom.
    moveWithKeys(rig, {KeyCode::KeypadPlus});
    EXPECT_FLOAT_EQ(rig.Distance(), 5.03f);
}

TEST(CameraRig, WheelMovesTenTimesAsFarPerNotchWithShift) {
    CameraRig plain;
    wheel(plain, 2.0f, false);
    EXPECT_FLOAT_EQ(plain.Distance(), 4.8f);
    CameraRig shifted;
    wheel(shifted, 2.0f, true);
    EXPECT_FLOAT_EQ(shifted.Distance(), 3.0f);
    wheel(shifted, -1.0f, true);
    EXPECT_FLOAT_EQ(shifted.Distance(), 4.0f);
}

TEST(CameraRig, MatrixIsPivotThenRotationThenDistance) {
    CameraRig rig;
    moveWithKeys(rig, {KeyCode::Shift, KeyCode::Up});
    moveWithKeys(rig, {KeyCode::Right});
    wheel(rig, 10.0f, false);
    const Mat4f expected = Mat4f(1, 0, 0, 0, 0, 1, 0, 0.1f, 0, 0, 1, 0, 0, 0, 0, 1) *
                           rotationY(0.02f) * Mat4f(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 4, 0, 0, 0, 1);
    EXPECT_TRUE(Near(rig.Matrix(), expected));
    // The camera sits at pivot + rotation * (0, 0, distance).
    EXPECT_NEAR(rig.Matrix().M14(), 4.0f * std::sin(0.02f), 1e-5f);
    EXPECT_NEAR(rig.Matrix().M24(), 0.1f, 1e-6f);
    EXPECT_NEAR(rig.Matrix().M34(), 4.0f * std::cos(0.02f), 1e-5f);
}
