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

// The unit's draw: one textured full-screen pass into the window.
class CopyPassDraw {
public:
    CopyPassDraw(int width, int height)
        : copy("../../EngineData/Shader/quad.vert", BENCH_COPY_FRAG), width(width), height(height) {
        source.init(width, height, true);
        source.check();
        source.enable();
        glClearColor(0.3f, 0.5f, 0.7f, 1.0f);
        source.clearAll();
        glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
    }
    void operator()() {
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glViewport(0, 0, width, height);
        glDisable(GL_DEPTH_TEST);
        glDisable(GL_BLEND);
        copy.Activate();
        plane.enableVertexBO();
        copy.SetDiffuseTexture(&source);
        plane.draw(&copy);
        plane.disableVertexBO();
        glUseProgram(0);
    }

private:
    Engine::Render::EffectPlane plane;
    Engine::Render::ColorFrameBuffer source;
    Engine::Render::Shader::PostprocessingShader copy;
    int width;
    int height;
};

inline CopyPass measureCopyPass(GLFWwindow* window, int width, int height, int frames) {
    CopyPassDraw pass(width, height);
    CopyPass result;
    result.frameMs = timeFrames(window, frames, [&] {
        glClear(GL_COLOR_BUFFER_BIT);
        pass();
    });
    result.medianMs = medianMs(frames, [&] { pass(); });
    return result;
}

// Frames of one block of the interleaved measure.
constexpr int FramesPerBlock = 10;

// A frame's cost in units measured in blocks that alternate the copy pass's
// frames with the measured frames, so that both see the same load of a
// shared machine: the median over the blocks of each block's ratio, and the
// lowest and highest ratio.
struct UnitRatio {
    double median = 0.0;
    double lowest = 0.0;
    double highest = 0.0;
};

inline UnitRatio interleavedUnits(GLFWwindow* window, int width, int height, int blocks,
                                  int framesPerBlock, std::function<void()> const& frame) {
    CopyPassDraw pass(width, height);
    std::vector<double> ratios;
    for (int block = 0; block < blocks; ++block) {
        const double unit = timeFrames(window, framesPerBlock, [&] {
            glClear(GL_COLOR_BUFFER_BIT);
            pass();
        });
        ratios.push_back(timeFrames(window, framesPerBlock, frame) / unit);
    }
    std::sort(ratios.begin(), ratios.end());
    UnitRatio result;
    if (!ratios.empty()) {
        // With an even number of blocks, the mean of the middle two.
        result.median = 0.5 * (ratios[(ratios.size() - 1) / 2] + ratios[ratios.size() / 2]);
        result.lowest = ratios.front();
        result.highest = ratios.back();
    }
    return result;
}

} // namespace Bench
