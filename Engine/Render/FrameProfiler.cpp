#include <Engine/Render/FrameProfiler.h>
#include <Engine/Util/GLDebugOutput.h>
#include <GL/glew.h>
#include <chrono>

namespace Engine::Render {

FrameProfiler::FrameProfiler(Timing timing) : timing(timing) {
    glGenQueries(2 * Marks, &queries[0][0]);
}

FrameProfiler::~FrameProfiler() {
    glDeleteQueries(2 * Marks, &queries[0][0]);
}

char const* FrameProfiler::PassName(int pass) {
    static char const* const names[PassCount] = {"geometry",   "shadow maps", "lighting",
                                                 "scattering", "adapt+glow",  "tone mapping",
                                                 "fxaa/window"};
    return pass >= 0 && pass < PassCount ? names[pass] : "";
}

void FrameProfiler::stamp(int mark) {
    if (timing == Timing::GpuQueries) {
        glQueryCounter(queries[current][mark], GL_TIMESTAMP);
        return;
    }
    glFinish();
    clockNs[mark] = std::chrono::duration<double, std::nano>(
                        std::chrono::steady_clock::now().time_since_epoch())
                        .count();
}

void FrameProfiler::beginFrame() {
    stamp(0);
}

void FrameProfiler::endOf(Pass pass) {
    stamp(pass + 1);
}

void FrameProfiler::EndOf(FrameProfiler* profiler, Pass pass) {
    if (profiler != nullptr) {
        profiler->endOf(pass);
    }
    Util::GLDebugOutput::Pass(PassName(pass + 1));
}

void FrameProfiler::endFrame() {
    if (timing == Timing::FinishedWallClock) {
        for (int pass = 0; pass < PassCount; ++pass) {
            totalNs[pass] += clockNs[pass + 1] - clockNs[pass];
        }
        ++frames;
        return;
    }
    pending[current] = true;
    current = 1 - current;
    // The other set was issued a frame ago; its results are due now.
    if (pending[current]) {
        collect(current);
    }
}

void FrameProfiler::flush() {
    for (int set = 0; set < 2; ++set) {
        if (pending[set]) {
            collect(set);
        }
    }
}

void FrameProfiler::collect(int set) {
    GLuint64 stamps[Marks] = {};
    for (int i = 0; i < Marks; ++i) {
        glGetQueryObjectui64v(queries[set][i], GL_QUERY_RESULT, &stamps[i]);
    }
    for (int pass = 0; pass < PassCount; ++pass) {
        totalNs[pass] += static_cast<double>(stamps[pass + 1] - stamps[pass]);
    }
    pending[set] = false;
    ++frames;
}

void FrameProfiler::reset() {
    flush();
    frames = 0;
    for (double& t : totalNs) {
        t = 0.0;
    }
}

double FrameProfiler::AverageMs(int pass) const {
    return frames > 0 ? totalNs[pass] / frames / 1.0e6 : 0.0;
}

double FrameProfiler::AverageTotalMs() const {
    double sum = 0.0;
    for (int pass = 0; pass < PassCount; ++pass) {
        sum += AverageMs(pass);
    }
    return sum;
}

} // namespace Engine::Render
