#include <Engine/Util/Timer.h>
#include <chrono>
#include <iostream>
#include <memory>

namespace Engine::Util {

namespace {

std::int64_t steadyTicks() {
    return std::chrono::steady_clock::now().time_since_epoch().count();
}

const std::int64_t steadyTicksPerSecond =
    std::chrono::steady_clock::period::den / std::chrono::steady_clock::period::num;

} // namespace

Timer::Timer() : Timer(steadyTicks, steadyTicksPerSecond) {}

Timer::Timer(TickSource tickSource, std::int64_t ticksPerSecond)
    : source(std::move(tickSource)), frequency(ticksPerSecond), lastClock(steadyMilliseconds()) {}

Timer::Timer(Timer const& other)
    : source(other.source), frequency(other.frequency), startReading(other.startReading),
      lastReading(other.lastReading), lastClock(steadyMilliseconds()),
      absoluteTime(other.absoluteTime), relativeTime(other.relativeTime), running(other.running) {}

Timer& Timer::operator=(Timer const& other) {
    source = other.source;
    frequency = other.frequency;
    startReading = other.startReading;
    lastReading = other.lastReading;
    absoluteTime = other.absoluteTime;
    relativeTime = other.relativeTime;
    running = other.running;
    return *this;
}

void Timer::SetTickSource(TickSource tickSource, std::int64_t ticksPerSecond) {
    source = std::move(tickSource);
    frequency = ticksPerSecond;
}

Timer::TickSource Timer::FixedStepSource(double step) {
    const auto stepTicks = static_cast<std::int64_t>(step * FixedStepTicksPerSecond + 0.5);
    auto reading = std::make_shared<std::int64_t>(-stepTicks);
    return [reading, stepTicks] { return *reading += stepTicks; };
}

std::int64_t Timer::steadyMilliseconds() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

float Timer::secondsOf(std::int64_t ticks) const {
    // Whole seconds and the fraction are converted apart, so the float keeps
    // sub-millisecond resolution over long runs.
    return static_cast<float>(ticks % frequency) / static_cast<float>(frequency) +
           static_cast<float>(ticks / frequency);
}

void Timer::Start() {
    if (!running) {
        startReading = source();
        lastReading = startReading;
    }
    running = true;
}

void Timer::Stop() {
    running = false;
}

void Timer::NextFrame() {
    if (!running) {
        return;
    }
    const std::int64_t now = source();
    const std::int64_t clock = steadyMilliseconds();

    absoluteTime = secondsOf(now - startReading);
    relativeTime = secondsOf(now - lastReading);
    lastReading = now;

    if (reportCounter == 0) {
        std::cout << relativeTime << "   " << static_cast<double>(clock - lastClock) / 1000.0
                  << std::endl;
    }
    lastClock = steadyMilliseconds();
    reportCounter = (reportCounter + 1) % 10;
}

} // namespace Engine::Util
