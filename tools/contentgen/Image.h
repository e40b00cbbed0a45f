#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace contentgen {

// A square RGB image of 8-bit channels, written to PNG with libpng.
// Textures are built in floating point and stored through this class.
class Image {
public:
    explicit Image(int size);

    int Size() const { return size; }
    // Channels in [0, 1], clamped and rounded to 8 bits.
    void Set(int x, int y, float r, float g, float b);
    std::uint8_t const* Pixel(int x, int y) const { return &rgb[3 * (y * size + x)]; }
    std::vector<std::uint8_t> const& Bytes() const { return rgb; }
    // Throws std::runtime_error when the file cannot be written.
    void WritePng(std::string const& path) const;

private:
    int size;
    std::vector<std::uint8_t> rgb;
};

} // namespace contentgen
