#pragma once

// Timing helpers of the frame benchmarks: frames finished one by one, medians
// of glFinish-bracketed runs, and the unit every figure is given in, one
// textured full-screen copy pass at the window's size.

#include <Engine/Render/ColorFrameBuffer.h>
#include <Engine/Render/EffectPlane.h>
#include <Engine/Render/Shader/PostprocessingShader.h>
#include <GL/glew.h>
#include <GLFW/glfw3.h>
#include <algorithm>
#include <chrono>
#include <functional>
#include <vector>

namespace Bench {

using Clock = std::chrono::steady_clock;

constexpr int WarmUpFrames = 10;

// Average wall-clock milliseconds of frames of f, each finished and swapped.
inline double timeFrames(GLFWwindow* window, int frames, std::function<void()> const& f) {
    for (int i = 0; i < WarmUpFrames; ++i) {
        f();
        glfwSwapBuffers(window);
    }
    glFinish();
    const Clock::time_point start = Clock::now();
    for (int i = 0; i < frames; ++i) {
        f();
        glfwSwapBuffers(window);
        glFinish();
    }
    const std::chrono::duration<double, std::milli> elapsed = Clock::now() - start;
    return elapsed.count() / frames;
}

// Median milliseconds of runs of f, each bracketed by glFinish.
inline double medianMs(int runs, std::function<void()> const& f, int warmUp = WarmUpFrames) {
    std::vector<double> times;
    for (int i = 0; i < runs + warmUp; ++i) {
        glFinish();
        const Clock::time_point start = Clock::now();
        f();
        glFinish();
        const std::chrono::duration<double, std::milli> elapsed = Clock::now() - start;
        if (i >= warmUp) {
            times.push_back(elapsed.count());
        }
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// The unit: one textured full-screen pass into the window, per frame
// (average, swapped) and as the median of finished runs.
struct CopyPass {
    double frameMs = 0.0;
    double medianMs = 0.0;
};

inline CopyPass measureCopyPass(GLFWwindow* window, int width, int height, int frames) {
    Engine::Render::EffectPlane plane;
    Engine::Render::ColorFrameBuffer source;
    source.init(width, height, true);
    source.check();
    source.enable();
    glClearColor(0.3f, 0.5f, 0.7f, 1.0f);
    source.clearAll();
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(0, 0, width, height);
    Engine::Render::Shader::PostprocessingShader copy("../../EngineData/Shader/quad.vert",
                                                      BENCH_COPY_FRAG);
    auto pass = [&] {
        copy.Activate();
        plane.enableVertexBO();
        copy.SetDiffuseTexture(&source);
        plane.draw(&copy);
        plane.disableVertexBO();
        glUseProgram(0);
    };
    CopyPass result;
    result.frameMs = timeFrames(window, frames, [&] {
        glClear(GL_COLOR_BUFFER_BIT);
        pass();
    });
    result.medianMs = medianMs(frames, pass);
    return result;
}

} // namespace Bench
