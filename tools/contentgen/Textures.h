#pragma once

#include <string>
#include <vector>

namespace contentgen {

class Image;

// The procedural textures of the demo's scenes: stone blocks, metal panels,
// wooden planks and cracked plaster, each a diffuse texture and a
// tangent-space normal map from its height field, a displacement map for
// stone and a glowing window pane.
namespace Textures {

struct Texture {
    std::string name; // manifest name; the file is name + ".png"
    int size;
};

// Every texture the scenes use, in manifest order.
std::vector<Texture> List();
// Renders one texture of List() by name.
Image Make(std::string const& name, int size);
// Writes every texture of List() into dir.
void WriteAll(std::string const& dir);

} // namespace Textures

} // namespace contentgen
