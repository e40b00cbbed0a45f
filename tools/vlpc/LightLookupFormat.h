#pragma once

#include <cstdint>
#include <ostream>
#include <vector>

// The light-scattering lookup file lightlookup.vlp: two tables of the same size
// sampled over the same parameter ranges, each stored divided by its largest
// value, read whole (no dictionary). Writer, validating reader and listing.
namespace vlpc {

struct LightLookupFile {
    std::uint16_t width = 0;
    std::uint16_t height = 0;
    float minAB = 0.0f; // parameter range along a row (x)
    float maxAB = 0.0f;
    float minC = 0.0f; // parameter range down the rows (y)
    float maxC = 0.0f;
    float beta = 0.0f;
    float maxA = 0.0f; // largest value of each table before it was divided by it
    float maxB = 0.0f;
    // height rows of width values each, first row first; every value in [0, 1].
    std::vector<float> a;
    std::vector<float> b;
};

// The file's bytes. Throws FormatError when the tables break a rule that the
// reader checks, so that no file is written that the reader would refuse.
std::vector<std::uint8_t> writeLightLookupFile(LightLookupFile const& file);

// Reads and validates a whole file: size exactly 32 + 8 W H bytes, W and H at
// least 2, finite values, ranges with max above min, beta and both largest
// values above zero, every stored value in [0, 1]. Throws FormatError naming
// the offset and the field at fault.
LightLookupFile readLightLookupFile(std::vector<std::uint8_t> const& bytes);

// Sizes, ranges, beta, the largest values and the tables' corner and centre
// values (stored, and multiplied back by the largest value).
void dumpLightLookup(LightLookupFile const& file, std::ostream& out);

} // namespace vlpc
