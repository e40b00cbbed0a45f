#pragma once

#include <Game/Platform.h>
#include <deque>
#include <string>
#include <vector>

namespace GameTestSupport {

// One input event of a scripted run.
struct ScriptedEvent {
    enum Kind { KeyDown, KeyUp, ButtonDown, ButtonUp, Wheel, MoveCursor, Close };

    static ScriptedEvent keyDown(int code) { return {KeyDown, code, 0.0f, 0, 0}; }
    static ScriptedEvent keyUp(int code) { return {KeyUp, code, 0.0f, 0, 0}; }
    static ScriptedEvent buttonDown(int button) { return {ButtonDown, button, 0.0f, 0, 0}; }
    static ScriptedEvent buttonUp(int button) { return {ButtonUp, button, 0.0f, 0, 0}; }
    static ScriptedEvent wheel(float notches) { return {Wheel, 0, notches, 0, 0}; }
    static ScriptedEvent moveCursor(int x, int y) { return {MoveCursor, 0, 0.0f, x, y}; }
    static ScriptedEvent close() { return {Close, 0, 0.0f, 0, 0}; }

    Kind kind;
    int code;
    float notches;
    int x;
    int y;
};

// A platform without a window: each PollEvents delivers the next batch of
// scripted events, and every call is written to a journal shared with the
// test's demo hooks. When the script runs out the window is closed, unless
// closeWhenScriptEnds is false; a run never polls more than pollLimit times.
class ScriptedPlatform : public Game::Platform {
public:
    explicit ScriptedPlatform(std::vector<std::string>& journal) : journal(journal) {}

    bool OpenWindow(WindowSettings const& settings, std::string& error) override {
        journal.push_back("open");
        opened = settings;
        if (openFails) {
            error = "no window for this test";
            return false;
        }
        return true;
    }
    void PrepareContext(unsigned width, unsigned height) override {
        journal.push_back("prepare");
        preparedWidth = width;
        preparedHeight = height;
    }
    void PollEvents(Game::InputState& input) override {
        journal.push_back("poll");
        if (++polls >= pollLimit) {
            quit = true;
        }
        if (batches.empty()) {
            quit = quit || closeWhenScriptEnds;
            return;
        }
        for (ScriptedEvent const& event : batches.front()) {
            apply(event, input);
        }
        batches.pop_front();
    }
    bool QuitRequested() const override { return quit; }
    void RequestQuit() override { quit = true; }
    Game::InputState::Point CursorPosition() override { return cursor; }
    void ReportGLErrors() override { journal.push_back("glError"); }
    bool ReadBackBuffer(Image& image) override {
        journal.push_back("readBack");
        if (readBackFails) {
            return false;
        }
        image.width = 4;
        image.height = 2;
        image.rgb.assign(4 * 2 * 3, 200);
        return true;
    }
    void SwapBuffers() override { journal.push_back("swap"); }
    void WindowTitle(std::string const& title) override { journal.push_back("title " + title); }
    void CloseWindow() override { journal.push_back("close"); }

    std::deque<std::vector<ScriptedEvent>> batches;
    bool closeWhenScriptEnds = true;
    int pollLimit = 1000;
    bool openFails = false;
    bool readBackFails = false;
    Game::InputState::Point cursor;

    WindowSettings opened;
    unsigned preparedWidth = 0;
    unsigned preparedHeight = 0;

private:
    void apply(ScriptedEvent const& event, Game::InputState& input) {
        switch (event.kind) {
        case ScriptedEvent::KeyDown:
            input.KeyDown(event.code);
            break;
        case ScriptedEvent::KeyUp:
            input.KeyUp(event.code);
            break;
        case ScriptedEvent::ButtonDown:
            input.ButtonDown(event.code);
            break;
        case ScriptedEvent::ButtonUp:
            input.ButtonUp(event.code);
            break;
        case ScriptedEvent::Wheel:
            input.Wheel(event.notches);
            break;
        case ScriptedEvent::MoveCursor:
            cursor = {event.x, event.y};
            break;
        case ScriptedEvent::Close:
            quit = true;
            break;
        }
    }

    std::vector<std::string>& journal;
    bool quit = false;
    int polls = 0;
};

} // namespace GameTestSupport
