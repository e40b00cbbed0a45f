#pragma once

#include <Engine/Math/Vec3f.h>
#include <vector>

namespace Engine::Util {
class CurvePoint;
}

namespace Game {

// The demo's flight paths and event times, as plain data: the cameras', the
// opening searchlight's, the circling god-ray lights' and the second world's
// rising light, each a list of timed key points. The first world's paths
// start at the script time offset t, the second world's at the switch time W.
// Used by the demo and by the tests that check the paths against the scenes.
namespace DemoPaths {

struct Key {
    float time;
    Engine::Math::Vec3f point;
};
using Path = std::vector<Key>;

// First world.
Path CameraA(float t);
Path CameraALookAt(float t);
Path SearchLight(float t);
Path SearchLightLookAt(float t);
// God-ray lights 1 and 2 start at their time G.
Path GodRay1(float g);
Path GodRay1LookAt(float g);
Path GodRay2(float g);
Path GodRay2LookAt(float g);

// Second world.
Path CameraB(float w);
Path CameraBLookAt(float w);
Path RisingLight(float w);
Path RisingLightLookAt(float w);

// Absolute times of the timeline's events for script time offset t.
struct EventTimes {
    float music;
    float swap; // the searchlight gives way to the directional light
    float godRay3;
    float godRays12;   // G
    float worldSwitch; // W
    float lampOn;
    float lampOff;
    float ramp;
    float rampOff;
    float lightYOn;
    float end; // the last flight ends
};
EventTimes Times(float t);

// A new array of new points for a path animation (which takes both).
Engine::Util::CurvePoint** ToCurvePoints(Path const& path);

} // namespace DemoPaths

} // namespace Game
