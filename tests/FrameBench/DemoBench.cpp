// The demo's heaviest moments, timed: the first world after 73 s (three
// god-ray lights, two of them redrawing their shadow maps every frame) and
// the second world after 201 s (both rising lights on), each frame finished,
// per pass with the GPU finished at every pass's end, beside the unit (one
// textured full-screen copy pass) measured in the same run. Also the time
// from the start of the build to the first finished frame.
//
//   DemoBench [--frames N] [--size WxH]   (default 60 frames at 1024x768)

#include "BenchTiming.h"
#include "Game/DemoDriver.h"

#include <Engine/Render/FrameProfiler.h>
#include <Engine/Util/UtilFunctions.h>
#include <GL/glew.h>
#include <GLFW/glfw3.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

using Engine::Render::FrameProfiler;

// Frames of a moment run at 60 frames per second of the demo's clock.
constexpr double FrameStep = 1.0 / 60.0;

struct Moment {
    char const* name;
    double start;
};

void measureMoment(GLFWwindow* window, GameTestSupport::DemoDriver& driver, Moment const& moment,
                   double& clock, int frames, double unit) {
    // On to the moment in one-second steps, as the timeline needs every
    // event's frame, then warm up at the frame step.
    for (; clock + 1.0 < moment.start; clock += 1.0) {
        driver.FrameAt(clock);
    }
    for (int i = 0; i < Bench::WarmUpFrames; ++i, clock += FrameStep) {
        driver.FrameAt(clock);
    }
    const double frameMs = Bench::timeFrames(window, frames, [&] {
        driver.FrameAt(clock);
        clock += FrameStep;
    });
    int width = 0;
    int height = 0;
    glfwGetFramebufferSize(window, &width, &height);
    const Bench::UnitRatio interleaved =
        Bench::interleavedUnits(window, width, height, std::max(1, frames / Bench::FramesPerBlock),
                                Bench::FramesPerBlock, [&] {
                                    driver.FrameAt(clock);
                                    clock += FrameStep;
                                });
    FrameProfiler profiler(FrameProfiler::Timing::FinishedWallClock);
    driver.Camera()->Profiler(&profiler);
    for (int i = 0; i < frames; ++i, clock += FrameStep) {
        driver.FrameAt(clock);
        glfwSwapBuffers(window);
    }
    driver.Camera()->Profiler(nullptr);
    std::printf("%s (from %.1f s), %d frames\n", moment.name, moment.start, frames);
    std::printf("  frame, wall clock           %8.3f ms  %6.2f units\n", frameMs, frameMs / unit);
    std::printf("  frame, interleaved with the unit       %6.2f units (median of blocks of %d "
                "frames, %.2f-%.2f)\n",
                interleaved.median, Bench::FramesPerBlock, interleaved.lowest, interleaved.highest);
    std::printf("  passes, each finished       %8.3f ms  %6.2f units\n", profiler.AverageTotalMs(),
                profiler.AverageTotalMs() / unit);
    for (int pass = 0; pass < FrameProfiler::PassCount; ++pass) {
        const double ms = profiler.AverageMs(pass);
        std::printf("    %-25s %8.3f ms  %6.2f units\n", FrameProfiler::PassName(pass), ms,
                    ms / unit);
    }
}

} // namespace

int main(int argc, char** argv) {
    int frames = 60;
    int width = 1024;
    int height = 768;
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--frames") == 0) {
            frames = std::max(1, std::atoi(argv[i + 1]));
        } else if (std::strcmp(argv[i], "--size") == 0) {
            std::sscanf(argv[i + 1], "%dx%d", &width, &height);
        }
    }
    setenv("ALSOFT_DRIVERS", "null", 0);
    if (glfwInit() != GLFW_TRUE) {
        std::fprintf(stderr, "GLFW could not be initialised (is an X server running?)\n");
        return 1;
    }
    glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);
    glfwWindowHint(GLFW_DEPTH_BITS, 16);
    GLFWwindow* window = glfwCreateWindow(width, height, "DemoBench", nullptr, nullptr);
    if (window == nullptr) {
        glfwTerminate();
        return 1;
    }
    glfwMakeContextCurrent(window);
    glfwSwapInterval(0);
    Engine::Util::UtilFunctions::InitGlew();

    int status = 0;
    {
        // As in the frame benchmark: empty frames first, so that the unit is
        // not measured on a window the driver has not settled yet.
        glViewport(0, 0, width, height);
        glDisable(GL_DEPTH_TEST);
        Bench::timeFrames(window, frames, [] {
            glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
        });
        const Bench::CopyPass unit = Bench::measureCopyPass(window, width, height, frames);
        std::printf("%dx%d: textured full-screen pass %.3f ms per frame (median %.3f ms)\n", width,
                    height, unit.frameMs, unit.medianMs);

        GameTestSupport::DemoDriver driver;
        const Bench::Clock::time_point start = Bench::Clock::now();
        if (!driver.Build(static_cast<unsigned>(width), static_cast<unsigned>(height))) {
            std::fprintf(stderr, "the demo could not be built\n");
            status = 1;
        } else {
            driver.FrameAt(0.0);
            glFinish();
            const std::chrono::duration<double, std::milli> startUp = Bench::Clock::now() - start;
            std::printf("build and first frame: %.0f ms\n", startUp.count());
            double clock = 1.0;
            measureMoment(window, driver, {"first world, three god rays", 73.5}, clock, frames,
                          unit.frameMs);
            measureMoment(window, driver, {"second world, both rising lights", 201.5}, clock,
                          frames, unit.frameMs);
        }
        driver.TearDown();
    }
    if (glGetError() != GL_NO_ERROR) {
        std::printf("an OpenGL error is pending after the benchmark\n");
        status = 1;
    }
    glfwDestroyWindow(window);
    glfwTerminate();
    return status;
}
