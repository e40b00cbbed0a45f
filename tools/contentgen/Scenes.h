#pragma once

#include "Mesh.h"

#include <map>
#include <string>
#include <vector>

namespace contentgen {

// The demo's two scenes as meshes by material, in world coordinates: the
// first world's armillary (object 10) and the second world's hall (object 9).
// Pieces that the demo's cameras or lights would touch are left out, so the
// flights stay clear of the geometry.
namespace Scenes {

struct Light {
    bool spot;
    Vec3 location;
    Vec3 direction; // spots only
};

struct Scene {
    std::string name;
    std::map<std::string, Mesh> meshes; // by material name
    std::vector<Light> lights;          // the lights of its model record
    int carved = 0;                     // pieces left out for the flights
};

// Clearance kept between a piece and the demo's cameras and lights.
double const CAMERA_MARGIN = 0.4;
double const LIGHT_MARGIN = 0.35;
// The displacement shader moves surfaces out by at most this much.
double const DISPLACEMENT = 0.15;
// Materials whose surfaces the displacement shader moves.
bool Displaced(std::string const& material);

Scene FirstWorld();
Scene SecondWorld();

// Points along the demo's camera paths and light paths, every 0.05 s (script
// time offset 5).
std::vector<Vec3> CameraSamples(bool firstWorld);
std::vector<Vec3> LightSamples(bool firstWorld);

} // namespace Scenes

} // namespace contentgen
