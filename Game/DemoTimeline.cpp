#include <Game/DemoTimeline.h>

namespace Game {

namespace {
// Light X brightens over this many seconds.
const float RampSeconds = 6.0f;
} // namespace

DemoTimeline::DemoTimeline(float scriptTimeOffset) : times(DemoPaths::Times(scriptTimeOffset)) {}

void DemoTimeline::Frame(float a, bool demoMode, DemoActions& actions) {
    // The first frame renders every light of the first world once, so that
    // their shadow maps exist, and shows nothing.
    if (blackFramePending) {
        actions.showPicture(false);
        restorePending = true;
        blackFramePending = false;
    } else if (restorePending) {
        actions.restoreOpeningScene();
        actions.showPicture(true);
        restorePending = false;
    }

    if (musicPending && a > times.music) {
        if (demoMode) {
            actions.playTrack(1, 0.8f);
        }
        musicPending = false;
    }

    if (swapPending) {
        if (a > times.swap) {
            actions.swapSearchlightForDirectionalLight();
            swapPending = false;
        } else {
            actions.refreshSearchlightMap();
        }
    }

    if (godRay3Pending && a > times.godRay3) {
        actions.addGodRay3();
        godRay3Pending = false;
    }

    if (godRays12Pending && a > times.godRays12) {
        actions.addGodRays1And2();
        godRays12Pending = false;
    } else {
        actions.refreshGodRay1And2Maps();
    }

    if (worldSwitchPending && a > times.worldSwitch) {
        actions.switchToSecondWorld();
        if (demoMode) {
            actions.playTrack(2, 0.9f);
        }
        actions.showPicture(false);
        fadeInPending = true;
        worldSwitchPending = false;
    } else if (fadeInPending) {
        actions.showPicture(true);
        fadeInPending = false;
    }

    // After the off time both happen in one frame: the lamp is dark.
    if (!actions.lampOn() && a > times.lampOn) {
        actions.lamp(true);
    }
    if (actions.lampOn() && a > times.lampOff) {
        actions.lamp(false);
    }

    if (a > times.ramp && a < times.ramp + RampSeconds) {
        const float f = (a - times.ramp) / RampSeconds;
        actions.lightXIntensity(10.0f * f, 30.0f * f);
    }
    if (a > times.rampOff && actions.lightXOn()) {
        actions.lightXOff();
    }

    if (a > times.lightYOn && !actions.lightYOn()) {
        actions.lightYOnNow();
    }

    if (!worldSwitchPending) {
        actions.refreshSecondWorldMaps();
    }
}

} // namespace Game
