#pragma once

#include <string>
#include <vector>

namespace GameTestSupport {

// A decoded PNG file as 8-bit RGB, top row first.
struct PngFile {
    // False when the file is missing or no valid PNG; `error` says why.
    bool Load(std::string const& path);

    // Red, green and blue of the pixel in column x, row y (row 0 at the top).
    unsigned Red(unsigned x, unsigned y) const { return rgb[(y * width + x) * 3]; }
    unsigned Green(unsigned x, unsigned y) const { return rgb[(y * width + x) * 3 + 1]; }
    unsigned Blue(unsigned x, unsigned y) const { return rgb[(y * width + x) * 3 + 2]; }

    unsigned width = 0;
    unsigned height = 0;
    std::vector<unsigned char> rgb;
    std::string error;
};

} // namespace GameTestSupport
