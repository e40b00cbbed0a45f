#pragma once

#include <Game/DemoPaths.h>

namespace Game {

// What the timeline asks of the demo's scene: the effects of its events, in
// the words of the scene, so that the timeline itself needs no engine objects
// (and can be run against a fake clock in tests).
class DemoActions {
public:
    virtual ~DemoActions() = default;
    // The tone mapper's fade flag: false draws the next frame black.
    virtual void showPicture(bool on) = 0;
    // After the black first frame: the first world gets its opening set of
    // objects (the searchlight in, the directional and god-ray lights out).
    virtual void restoreOpeningScene() = 0;
    // Stops the music, then plays track 1 or 2 at the given reference gain.
    virtual void playTrack(int track, float referenceGain) = 0;
    // The directional light comes in and the searchlight goes.
    virtual void swapSearchlightForDirectionalLight() = 0;
    virtual void addGodRay3() = 0;
    virtual void addGodRays1And2() = 0;
    virtual void refreshSearchlightMap() = 0;
    virtual void refreshGodRay1And2Maps() = 0;
    // The viewer shows the second world; the rig moves its camera.
    virtual void switchToSecondWorld() = 0;
    virtual bool lampOn() const = 0;
    virtual void lamp(bool on) = 0;
    virtual void lightXIntensity(float green, float blue) = 0;
    virtual bool lightXOn() const = 0;
    virtual void lightXOff() = 0;
    virtual bool lightYOn() const = 0;
    virtual void lightYOnNow() = 0;
    virtual void refreshSecondWorldMaps() = 0;
};

// The demo's timeline: once per frame, with the time of the previous frame,
// it fires each event in the first frame that sees its time passed. Every
// event fires once; the black frames and their restoring frames last one
// frame each.
class DemoTimeline {
public:
    explicit DemoTimeline(float scriptTimeOffset);

    // One frame at absolute time `time`; the music starts only in demo mode.
    void Frame(float time, bool demoMode, DemoActions& actions);

    DemoPaths::EventTimes const& Times() const { return times; }
    bool InSecondWorld() const { return !worldSwitchPending; }

private:
    DemoPaths::EventTimes times;
    bool blackFramePending = true;
    bool restorePending = false;
    bool musicPending = true;
    bool swapPending = true;
    bool godRay3Pending = true;
    bool godRays12Pending = true;
    bool worldSwitchPending = true;
    bool fadeInPending = false;
};

} // namespace Game
