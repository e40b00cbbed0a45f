#pragma once

#include <Engine/Export.h>
#include <cstddef>
#include <vector>

namespace Engine::Data {

// The contents of lightlookup.vlp: both scattering tables (height rows of
// width values, first row first, each divided by its table's largest value)
// and the ranges and medium density the shader needs to decode them.
struct LightLookupData {
    unsigned short width = 0;
    unsigned short height = 0;
    float minAB = 0.0f;
    float maxAB = 0.0f;
    float minC = 0.0f;
    float maxC = 0.0f;
    float beta = 0.0f;
    float maxA = 0.0f;
    float maxB = 0.0f;
    std::vector<float> a;
    std::vector<float> b;
};

// Parses the light lookup file from its bytes, with no file access and no
// OpenGL. The input is untrusted: a file of the wrong size, a side below 2, a
// value that is not finite, an empty range, beta or a largest value not above
// 0, or a stored value outside [0, 1] is logged as one fatal line and fails.
// The layout is the format library's (Engine/Data/Format/FormatConstants.h).
class ENGINE_API LightLookupFile {
public:
    // Fills data and returns true for a valid file; on failure logs
    // "Corrupt light lookup table in <path>: <detail>", leaves data as it was
    // and returns false.
    static bool Parse(unsigned char const* bytes, std::size_t size, LightLookupData& data,
                      char const* path);
};

} // namespace Engine::Data
