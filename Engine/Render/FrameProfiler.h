#pragma once

#include <Engine/Export.h>

namespace Engine::Render {

// Per-pass timing of the screen camera's frame. With GPU timestamp queries
// (the default) the queries are double-buffered: the results of a frame are
// collected at the end of the next one, so measuring does not stall the
// pipeline. Where the driver's timestamps cannot be trusted (software
// renderers), the finished-wall-clock mode instead finishes the GPU at every
// mark and reads the steady clock: each pass is then timed alone, at the cost
// of the overlap between passes. Averages are kept over the frames since the
// last reset().
class ENGINE_API FrameProfiler {
public:
    enum class Timing { GpuQueries, FinishedWallClock };

    enum Pass : int {
        Geometry = 0,
        ShadowMaps,
        Lighting,
        Scattering,
        AdaptationAndGlow,
        ToneMapping,
        WindowPass,
        PassCount
    };

    explicit FrameProfiler(Timing timing = Timing::GpuQueries);
    ~FrameProfiler();
    FrameProfiler(FrameProfiler const&) = delete;
    FrameProfiler& operator=(FrameProfiler const&) = delete;

    static char const* PassName(int pass);

    void beginFrame();
    // Marks the end of a pass (passes are marked in order).
    void endOf(Pass pass);
    // Ends a pass of a frame: its mark when there is a profiler, and the
    // debug output's label of the next pass in any case.
    static void EndOf(FrameProfiler* profiler, Pass pass);
    void endFrame();
    // Collects the results still outstanding (waits for the GPU).
    void flush();

    void reset();
    int Frames() const { return frames; }
    double AverageMs(int pass) const;
    double AverageTotalMs() const;

private:
    void collect(int set);
    void stamp(int mark);

    static constexpr int Marks = PassCount + 1;
    Timing timing;
    // Finished-wall-clock readings of the current frame, in nanoseconds.
    double clockNs[Marks] = {};
    unsigned int queries[2][Marks] = {};
    bool pending[2] = {false, false};
    int current = 0;
    int frames = 0;
    double totalNs[PassCount] = {};
};

} // namespace Engine::Render
