#include "Textures.h"

#include "Image.h"
#include "Noise.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <stdexcept>

namespace contentgen::Textures {

namespace {

struct Rgb {
    float r, g, b;
};

Rgb scale(Rgb c, float f) {
    return {c.r * f, c.g * f, c.b * f};
}
Rgb mix(Rgb a, Rgb b, float t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}
float smooth(float e0, float e1, float x) {
    float const t = std::clamp((x - e0) / (e1 - e0), 0.0f, 1.0f);
    return t * t * (3.0f - 2.0f * t);
}
float fract(float x) {
    return x - std::floor(x);
}

// A material's surface at texture coordinates (u, v) in [0, 1): height in
// [0, 1] and colour.
struct Surface {
    float height;
    Rgb color;
};
using SurfaceFn = std::function<Surface(float u, float v)>;

// Stone blocks in running bond: bevelled, chipped blocks of varying tint in
// dark mortar.
Surface stone(float u, float v) {
    static Noise const noise(11);
    int const rows = 8;
    float const y = v * rows;
    int const row = static_cast<int>(std::floor(y)) % rows;
    float const x = u * 4.0f + (row % 2 == 0 ? 0.0f : 0.5f);
    int const column = static_cast<int>(std::floor(x)) % 4;
    float const edge =
        std::min(std::min(fract(x), 1.0f - fract(x)) * 0.5f,
                 std::min(fract(y), 1.0f - fract(y)) / static_cast<float>(rows) * 8.0f * 0.25f);
    float const tint = noise.Hash(column, row, 1);
    float const grain = noise.Fractal(u, v, 8, 6);
    float const chips = noise.Fractal(u, v, 32, 3);
    float const block = smooth(0.01f, 0.05f, edge - (chips - 0.5f) * 0.03f);
    float const height =
        block * (0.7f + 0.2f * grain + 0.1f * noise.Hash(column, row, 2)) + (1.0f - block) * 0.1f;
    Rgb const base = mix(Rgb{0.42f, 0.40f, 0.36f}, Rgb{0.55f, 0.48f, 0.40f}, tint);
    Rgb const mortar{0.22f, 0.21f, 0.20f};
    Rgb const face = scale(base, 0.8f + 0.4f * grain);
    return {height, mix(mortar, face, block)};
}

// Riveted steel panels with brushed streaks, seams and a little rust.
Surface metal(float u, float v) {
    static Noise const noise(23);
    float const px = fract(u * 2.0f);
    float const py = fract(v * 2.0f);
    float const seam = std::min(std::min(px, 1.0f - px), std::min(py, 1.0f - py));
    float const panel = smooth(0.004f, 0.012f, seam);
    // Rivets every 1/16 along the seams, just inside each panel.
    float const rx = fract(u * 16.0f) - 0.5f;
    float const ry = fract(v * 16.0f) - 0.5f;
    float rivet = 0.0f;
    float const inset = 0.035f;
    bool const nearX = std::abs(px - inset) < 0.03f || std::abs(px - 1.0f + inset) < 0.03f;
    bool const nearY = std::abs(py - inset) < 0.03f || std::abs(py - 1.0f + inset) < 0.03f;
    if (nearX || nearY) {
        float const dx =
            nearX ? (std::min(std::abs(px - inset), std::abs(px - 1.0f + inset)) * 16.0f) : rx;
        float const dy =
            nearY ? (std::min(std::abs(py - inset), std::abs(py - 1.0f + inset)) * 16.0f) : ry;
        float const r = std::sqrt(dx * dx + dy * dy);
        rivet = std::sqrt(std::max(0.0f, 1.0f - (r / 0.22f) * (r / 0.22f)));
    }
    float const brushed =
        noise.Value(u * 4.0f, v * 512.0f, 4) * 0.5f + noise.Value(u * 8.0f, v * 256.0f, 8) * 0.5f;
    float const rust = smooth(0.62f, 0.75f, noise.Fractal(u, v, 4, 5));
    float const height = 0.5f * panel + 0.04f * brushed + 0.45f * rivet;
    Rgb const steel = scale(Rgb{0.56f, 0.57f, 0.60f}, 0.85f + 0.25f * brushed);
    Rgb const color = mix(steel, Rgb{0.35f, 0.20f, 0.10f}, rust * 0.7f);
    return {height, scale(color, 0.5f + 0.5f * panel)};
}

// Planks of varying tone with wavy grain, knots and dark gaps.
Surface wood(float u, float v) {
    static Noise const noise(37);
    int const planks = 6;
    float const y = v * planks;
    int const plank = static_cast<int>(std::floor(y)) % planks;
    float const offset = noise.Hash(plank, 0, 3);
    float const x = fract(u + offset);
    float const across = fract(y);
    float const gap = smooth(0.0f, 0.04f, std::min(across, 1.0f - across));
    float const warp = noise.Fractal(x, v, 4, 4);
    float const rings =
        0.5f +
        0.5f * std::sin((across * 3.0f + warp * 6.0f + noise.Value(x * 2.0f, across, 2) * 4.0f) *
                        6.2831853f * 2.0f);
    float const fibre = noise.Value(x * 2.0f, v * 384.0f, 2);
    Rgb const light{0.55f, 0.36f, 0.20f};
    Rgb const dark{0.30f, 0.17f, 0.08f};
    Rgb const tone = scale(mix(light, dark, 0.6f * rings + 0.2f * fibre),
                           0.85f + 0.3f * noise.Hash(plank, 1, 4));
    float const height = gap * (0.8f + 0.1f * rings + 0.1f * fibre);
    return {height, mix(Rgb{0.08f, 0.05f, 0.03f}, tone, gap)};
}

// Lime plaster: soft undulation, stains and thin cracks.
Surface plaster(float u, float v) {
    static Noise const noise(41);
    float const bumps = noise.Fractal(u, v, 8, 6);
    float const stain = noise.Fractal(u, v, 4, 4);
    float const ridge = std::abs(noise.Fractal(u, v, 6, 5) - 0.5f);
    float const crack = 1.0f - smooth(0.004f, 0.012f, ridge);
    float const height = 0.6f + 0.3f * bumps - 0.5f * crack;
    Rgb const base =
        mix(Rgb{0.80f, 0.76f, 0.68f}, Rgb{0.62f, 0.57f, 0.50f}, smooth(0.45f, 0.75f, stain));
    return {std::clamp(height, 0.0f, 1.0f),
            mix(scale(base, 0.92f + 0.12f * bumps), Rgb{0.25f, 0.22f, 0.2f}, crack * 0.8f)};
}

// Leaded glass lit from behind: warm panes of uneven brightness between
// dark cames.
Surface window(float u, float v) {
    static Noise const noise(53);
    float const a = u * 4.0f + v * 6.0f;
    float const b = u * 4.0f - v * 6.0f;
    float const came =
        std::min(std::min(fract(a), 1.0f - fract(a)), std::min(fract(b), 1.0f - fract(b)));
    float const lead = smooth(0.03f, 0.07f, came);
    int const pa = static_cast<int>(std::floor(a));
    int const pb = static_cast<int>(std::floor(b));
    float const glow = 0.7f + 0.3f * noise.Hash(pa, pb, 5);
    Rgb const glass = scale(
        mix(Rgb{1.0f, 0.82f, 0.50f}, Rgb{1.0f, 0.93f, 0.75f}, noise.Fractal(u, v, 8, 3)), glow);
    return {lead, mix(Rgb{0.05f, 0.04f, 0.03f}, glass, lead)};
}

SurfaceFn surface(std::string const& material) {
    if (material == "block")
        return stone;
    if (material == "metal")
        return metal;
    if (material == "wood")
        return wood;
    if (material == "plaster")
        return plaster;
    if (material == "window")
        return window;
    throw std::invalid_argument("unknown texture " + material);
}

// Normal-map strength: the height range over a texel step, in texels.
float bumpiness(std::string const& material) {
    if (material == "metal")
        return 6.0f;
    if (material == "plaster")
        return 3.0f;
    return 5.0f;
}

} // namespace

std::vector<Texture> List() {
    return {{"block_d", 1024},   {"block_n", 1024}, {"block_h", 512}, {"metal_d", 512},
            {"metal_n", 512},    {"wood_d", 512},   {"wood_n", 512},  {"plaster_d", 1024},
            {"plaster_n", 1024}, {"window_d", 512}};
}

Image Make(std::string const& name, int size) {
    std::size_t const cut = name.rfind('_');
    std::string const material = name.substr(0, cut);
    char const kind = name.at(cut + 1);
    SurfaceFn const fn = surface(material);
    Image image(size);
    if (kind == 'd') {
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) {
                Rgb const c = fn((x + 0.5f) / size, (y + 0.5f) / size).color;
                image.Set(x, y, c.r, c.g, c.b);
            }
        }
        return image;
    }
    std::vector<float> h(static_cast<std::size_t>(size * size));
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            h[y * size + x] = fn((x + 0.5f) / size, (y + 0.5f) / size).height;
        }
    }
    if (kind == 'h') {
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) {
                float const value = h[y * size + x];
                image.Set(x, y, value, value, value);
            }
        }
        return image;
    }
    // Central differences on the tiling height field; +x is the texture's u
    // direction (tangent), +y its v direction (bitangent).
    float const strength = bumpiness(material) * static_cast<float>(size) / 512.0f;
    auto at = [&](int x, int y) { return h[((y + size) % size) * size + (x + size) % size]; };
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            float const dx = (at(x + 1, y) - at(x - 1, y)) * 0.5f * strength;
            float const dy = (at(x, y + 1) - at(x, y - 1)) * 0.5f * strength;
            float const length = std::sqrt(dx * dx + dy * dy + 1.0f);
            image.Set(x, y, (-dx / length) * 0.5f + 0.5f, (-dy / length) * 0.5f + 0.5f,
                      (1.0f / length) * 0.5f + 0.5f);
        }
    }
    return image;
}

void WriteAll(std::string const& dir) {
    for (Texture const& t : List()) {
        Make(t.name, t.size).WritePng(dir + "/" + t.name + ".png");
    }
}

} // namespace contentgen::Textures
