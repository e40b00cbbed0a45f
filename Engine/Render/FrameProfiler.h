#pragma once

#include <Engine/Export.h>

namespace Engine::Render {

// Per-pass GPU timing of the screen camera's frame with timestamp queries.
// The queries are double-buffered: the results of a frame are collected at the
// end of the next one, so measuring does not stall the pipeline. Averages are
// kept over the frames since the last reset().
class ENGINE_API FrameProfiler {
public:
    enum Pass : int {
        Geometry = 0,
        ShadowMaps,
        Lighting,
        AdaptationAndGlow,
        ToneMapping,
        WindowPass,
        PassCount
    };

    FrameProfiler();
    ~FrameProfiler();
    FrameProfiler(FrameProfiler const&) = delete;
    FrameProfiler& operator=(FrameProfiler const&) = delete;

    static char const* PassName(int pass);

    void beginFrame();
    // Marks the end of a pass (passes are marked in order).
    void endOf(Pass pass);
    void endFrame();
    // Collects the results still outstanding (waits for the GPU).
    void flush();

    void reset();
    int Frames() const { return frames; }
    double AverageMs(int pass) const;
    double AverageTotalMs() const;

private:
    void collect(int set);

    static constexpr int Marks = PassCount + 1;
    unsigned int queries[2][Marks] = {};
    bool pending[2] = {false, false};
    int current = 0;
    int frames = 0;
    double totalNs[PassCount] = {};
};

} // namespace Engine::Render
