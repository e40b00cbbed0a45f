#pragma once

#include <Engine/Export.h>
#include <cstdint>
#include <functional>

namespace Engine::Util {

// Frame timer of the render loop. Started by its owner, advanced once per frame
// with NextFrame; holds the seconds since Start (the world's frame stamp) and
// the time between the latest two frames. Every tenth frame it prints a report
// line with the frame time. The tick source is a steady clock unless another
// one is injected, so that a run can be driven with a fixed time step.
class ENGINE_API Timer {
public:
    // Returns the current reading of a monotonic counter in ticks.
    using TickSource = std::function<std::int64_t()>;

    // A stopped timer on the steady clock.
    Timer();
    // A stopped timer reading ticks (at the given ticks per second) from source.
    Timer(TickSource source, std::int64_t ticksPerSecond);

    // Copies the times, readings and running state; the copy keeps its own
    // report bookkeeping.
    Timer(Timer const& other);
    Timer& operator=(Timer const& other);

    void Start();
    void Stop();
    void NextFrame();

    float AbsoluteTime() const { return absoluteTime; }
    float RelativeTime() const { return relativeTime; }
    bool Running() const { return running; }

    // Replaces the tick source; readings taken so far are kept, so a source
    // should continue from the current reading (see FixedStepSource).
    void SetTickSource(TickSource source, std::int64_t ticksPerSecond);

    // A source that advances by exactly `step` seconds on each reading after
    // the first, in microsecond ticks. With it the first NextFrame after Start
    // reports one step of absolute time.
    static TickSource FixedStepSource(double step);
    static const std::int64_t FixedStepTicksPerSecond = 1000000;

private:
    static std::int64_t steadyMilliseconds();
    float secondsOf(std::int64_t ticks) const;

    TickSource source;
    std::int64_t frequency;
    std::int64_t startReading = 0;
    std::int64_t lastReading = 0;
    std::int64_t lastClock;
    std::int32_t reportCounter = 0;
    float absoluteTime = 0.0f;
    float relativeTime = 0.0f;
    bool running = false;
};

} // namespace Engine::Util
