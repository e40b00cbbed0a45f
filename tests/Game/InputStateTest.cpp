#include <GLFW/glfw3.h>
#include <Game/GlfwKeyMap.h>
#include <Game/InputState.h>
#include <gtest/gtest.h>

using Game::InputState;
using Game::VirtualKeyFromGlfw;
namespace KeyCode = Game::KeyCode;

TEST(InputState, StartsWithNothingHeldAndTheCursorAtTheOrigin) {
    const InputState input;
    for (int code = 0; code < KeyCode::Count; ++code) {
        ASSERT_FALSE(input.KeyHeld(code) || input.KeyPressed(code) || input.KeyReleased(code));
    }
    for (int button = 0; button < InputState::ButtonCount; ++button) {
        EXPECT_FALSE(input.ButtonHeld(button) || input.ButtonPressed(button) ||
                     input.ButtonReleased(button));
    }
    EXPECT_EQ(input.WheelNotches(), 0.0f);
    EXPECT_EQ(input.Cursor().x, 0);
    EXPECT_EQ(input.PreviousCursor().y, 0);
}

TEST(InputState, KeyDownMarksTheKeyHeldAndPressedUntilTheFrameEnds) {
    InputState input;
    input.KeyDown(KeyCode::A);
    EXPECT_TRUE(input.KeyHeld(KeyCode::A));
    EXPECT_TRUE(input.KeyPressed(KeyCode::A));
    EXPECT_FALSE(input.KeyReleased(KeyCode::A));
    EXPECT_FALSE(input.KeyHeld(KeyCode::C));

    input.EndFrame({});
    EXPECT_TRUE(input.KeyHeld(KeyCode::A));
    EXPECT_FALSE(input.KeyPressed(KeyCode::A));
}

TEST(InputState, KeyUpReleasesTheKeyForOneFrame) {
    InputState input;
    input.KeyDown(KeyCode::Left);
    input.EndFrame({});
    input.KeyUp(KeyCode::Left);
    EXPECT_FALSE(input.KeyHeld(KeyCode::Left));
    EXPECT_TRUE(input.KeyReleased(KeyCode::Left));
    input.EndFrame({});
    EXPECT_FALSE(input.KeyReleased(KeyCode::Left));
}

TEST(InputState, APressAndReleaseWithinOneFrameIsSeenAsBoth) {
    InputState input;
    input.KeyDown(KeyCode::Escape);
    input.KeyUp(KeyCode::Escape);
    EXPECT_TRUE(input.KeyPressed(KeyCode::Escape));
    EXPECT_TRUE(input.KeyReleased(KeyCode::Escape));
    EXPECT_FALSE(input.KeyHeld(KeyCode::Escape));
}

TEST(InputState, CodesOutsideTheTableAreIgnored) {
    InputState input;
    input.KeyDown(-1);
    input.KeyDown(KeyCode::Count);
    input.KeyUp(100000);
    input.ButtonDown(3);
    input.ButtonDown(-1);
    EXPECT_FALSE(input.KeyHeld(-1));
    EXPECT_FALSE(input.KeyPressed(KeyCode::Count));
    EXPECT_FALSE(input.ButtonHeld(3));
    for (int code = 0; code < KeyCode::Count; ++code) {
        ASSERT_FALSE(input.KeyHeld(code) || input.KeyPressed(code) || input.KeyReleased(code));
    }
    for (int button = 0; button < InputState::ButtonCount; ++button) {
        EXPECT_FALSE(input.ButtonPressed(button));
    }
}

TEST(InputState, MouseButtonsArePressedHeldAndReleasedLikeKeys) {
    InputState input;
    input.ButtonDown(InputState::MiddleButton);
    EXPECT_TRUE(input.ButtonHeld(InputState::MiddleButton));
    EXPECT_TRUE(input.ButtonPressed(InputState::MiddleButton));
    EXPECT_FALSE(input.ButtonHeld(InputState::LeftButton));
    input.EndFrame({});
    EXPECT_TRUE(input.ButtonHeld(InputState::MiddleButton));
    EXPECT_FALSE(input.ButtonPressed(InputState::MiddleButton));
    input.ButtonUp(InputState::MiddleButton);
    EXPECT_FALSE(input.ButtonHeld(InputState::MiddleButton));
    EXPECT_TRUE(input.ButtonReleased(InputState::MiddleButton));
    input.EndFrame({});
    EXPECT_FALSE(input.ButtonReleased(InputState::MiddleButton));
}

TEST(InputState, WheelNotchesAddUpWithinAFrameAndResetAfterIt) {
    InputState input;
    input.Wheel(1.0f);
    input.Wheel(2.0f);
    input.Wheel(-0.5f);
    EXPECT_FLOAT_EQ(input.WheelNotches(), 2.5f);
    input.EndFrame({});
    EXPECT_EQ(input.WheelNotches(), 0.0f);
}

TEST(InputState, EndFrameMovesTheCursorOn) {
    InputState input;
    input.ResetCursor({10, 20});
    EXPECT_EQ(input.PreviousCursor().x, 10);
    EXPECT_EQ(input.Cursor().y, 20);
    input.EndFrame({15, 12});
    EXPECT_EQ(input.PreviousCursor().x, 10);
    EXPECT_EQ(input.PreviousCursor().y, 20);
    EXPECT_EQ(input.Cursor().x, 15);
    EXPECT_EQ(input.Cursor().y, 12);
    input.EndFrame({-3, 40});
    EXPECT_EQ(input.PreviousCursor().x, 15);
    EXPECT_EQ(input.Cursor().x, -3);
}

TEST(GlfwKeyMap, LettersDigitsAndFunctionKeysKeepTheirVirtualKeyCodes) {
    EXPECT_EQ(VirtualKeyFromGlfw(GLFW_KEY_A), 65);
    EXPECT_EQ(VirtualKeyFromGlfw(GLFW_KEY_C), KeyCode::C);
    EXPECT_EQ(VirtualKeyFromGlfw(GLFW_KEY_G), KeyCode::G);
    EXPECT_EQ(VirtualKeyFromGlfw(GLFW_KEY_H), KeyCode::H);
    EXPECT_EQ(VirtualKeyFromGlfw(GLFW_KEY_Z), 90);
    EXPECT_EQ(VirtualKeyFromGlfw(GLFW_KEY_0), 48);
    EXPECT_EQ(VirtualKeyFromGlfw(GLFW_KEY_9), 57);
    EXPECT_EQ(VirtualKeyFromGlfw(GLFW_KEY_F1), 112);
    EXPECT_EQ(VirtualKeyFromGlfw(GLFW_KEY_F3), 114);
    EXPECT_EQ(VirtualKeyFromGlfw(GLFW_KEY_F4), 115);
    EXPECT_EQ(VirtualKeyFromGlfw(GLFW_KEY_F5), 116);
    EXPECT_EQ(VirtualKeyFromGlfw(GLFW_KEY_F12), 123);
}

TEST(GlfwKeyMap, ControlKeysMapToTheirVirtualKeyCodes) {
    EXPECT_EQ(VirtualKeyFromGlfw(GLFW_KEY_ESCAPE), 27);
    EXPECT_EQ(VirtualKeyFromGlfw(GLFW_KEY_SPACE), 32);
    EXPECT_EQ(VirtualKeyFromGlfw(GLFW_KEY_LEFT_SHIFT), 16);
    EXPECT_EQ(VirtualKeyFromGlfw(GLFW_KEY_RIGHT_SHIFT), 16);
    EXPECT_EQ(VirtualKeyFromGlfw(GLFW_KEY_LEFT_CONTROL), 17);
    EXPECT_EQ(VirtualKeyFromGlfw(GLFW_KEY_RIGHT_CONTROL), 17);
    EXPECT_EQ(VirtualKeyFromGlfw(GLFW_KEY_LEFT), 37);
    EXPECT_EQ(VirtualKeyFromGlfw(GLFW_KEY_UP), 38);
    EXPECT_EQ(VirtualKeyFromGlfw(GLFW_KEY_RIGHT), 39);
    EXPECT_EQ(VirtualKeyFromGlfw(GLFW_KEY_DOWN), 40);
    EXPECT_EQ(VirtualKeyFromGlfw(GLFW_KEY_EQUAL), 187);
    EXPECT_EQ(VirtualKeyFromGlfw(GLFW_KEY_MINUS), 189);
    EXPECT_EQ(VirtualKeyFromGlfw(GLFW_KEY_KP_ADD), 107);
    EXPECT_EQ(VirtualKeyFromGlfw(GLFW_KEY_KP_SUBTRACT), 109);
}

TEST(GlfwKeyMap, KeysTheProgramDoesNotUseAreDropped) {
    for (int key : {GLFW_KEY_UNKNOWN, GLFW_KEY_TAB, GLFW_KEY_ENTER, GLFW_KEY_F13, GLFW_KEY_KP_5,
                    GLFW_KEY_LEFT_ALT, GLFW_KEY_APOSTROPHE}) {
        EXPECT_EQ(VirtualKeyFromGlfw(key), -1) << key;
    }
}
