#include <Engine/Data/Format/FormatConstants.h>
#include <cmath>
#include <sstream>
#include <string>
#include <vlpc/ByteReader.h>
#include <vlpc/ByteWriter.h>
#include <vlpc/FormatError.h>
#include <vlpc/LightLookupFormat.h>

namespace vlpc {

namespace {

namespace format = Engine::Data::Format;

std::string str(std::uint64_t value) {
    return std::to_string(value);
}

std::string num(float value) {
    if (std::isnan(value)) {
        return "NaN";
    }
    if (std::isinf(value)) {
        return value > 0 ? "infinity" : "-infinity";
    }
    std::ostringstream text;
    text << value;
    return text.str();
}

// Reads one f32 and throws unless it is finite.
float finite(ByteReader& in, char const* what) {
    std::size_t const offset = in.fileOffset();
    float const value = in.f32(what);
    if (!std::isfinite(value)) {
        throw FormatError("offset " + str(offset) + ": " + what + " is " + num(value) +
                          ", not a finite number");
    }
    return value;
}

float positive(ByteReader& in, char const* what) {
    std::size_t const offset = in.fileOffset();
    float const value = finite(in, what);
    if (!(value > 0.0f)) {
        throw FormatError("offset " + str(offset) + ": " + what + " is " + num(value) +
                          ", must be above 0");
    }
    return value;
}

std::uint16_t side(ByteReader& in, char const* what) {
    std::size_t const offset = in.fileOffset();
    std::uint16_t const value = in.u16(what);
    if (value < format::MIN_LIGHT_LOOKUP_SIDE) {
        throw FormatError("offset " + str(offset) + ": " + what + " is " + str(value) +
                          ", must be at least " + str(format::MIN_LIGHT_LOOKUP_SIDE));
    }
    return value;
}

void checkRange(float min, float max, std::size_t maxOffset, char const* what) {
    if (!(max > min)) {
        throw FormatError("offset " + str(maxOffset) + ": the maximum of the " + what + " (" +
                          num(max) + ") is not above its minimum (" + num(min) + ")");
    }
}

std::vector<float> readTable(ByteReader& in, std::uint16_t width, std::uint16_t height,
                             char const* name) {
    std::vector<float> values(std::size_t(width) * height);
    for (std::size_t i = 0; i < values.size(); ++i) {
        std::size_t const offset = in.fileOffset();
        float const value = in.f32(name);
        if (!(value >= 0.0f && value <= 1.0f)) {
            throw FormatError("offset " + str(offset) + ": " + name + " value at x " +
                              str(i % width) + ", y " + str(i / width) + " is " + num(value) +
                              ", outside [0, 1]");
        }
        values[i] = value;
    }
    return values;
}

} // namespace

std::vector<std::uint8_t> writeLightLookupFile(LightLookupFile const& file) {
    std::size_t const count = std::size_t(file.width) * file.height;
    if (file.a.size() != count || file.b.size() != count) {
        throw FormatError("light lookup tables of " + str(file.a.size()) + " and " +
                          str(file.b.size()) + " values do not match " + str(file.width) + " x " +
                          str(file.height));
    }
    ByteWriter out;
    out.u16(file.width);
    out.u16(file.height);
    for (float value : {file.minAB, file.maxAB, file.minC, file.maxC, file.beta, file.maxA}) {
        out.f32(value);
    }
    for (float value : file.a) {
        out.f32(value);
    }
    out.f32(file.maxB);
    for (float value : file.b) {
        out.f32(value);
    }
    std::vector<std::uint8_t> bytes = out.take();
    readLightLookupFile(bytes);
    return bytes;
}

LightLookupFile readLightLookupFile(std::vector<std::uint8_t> const& bytes) {
    ByteReader in(bytes.data(), bytes.size());
    LightLookupFile file;
    file.width = side(in, "the table width");
    file.height = side(in, "the table height");
    std::uint64_t const expected =
        format::LIGHT_LOOKUP_FIXED_SIZE + 8ull * std::uint64_t(file.width) * file.height;
    if (bytes.size() != expected) {
        throw FormatError("the file holds " + str(bytes.size()) + " bytes, tables of " +
                          str(file.width) + " x " + str(file.height) + " need exactly " +
                          str(expected));
    }
    file.minAB = finite(in, "the minimum of the A/B range");
    file.maxAB = finite(in, "the maximum of the A/B range");
    file.minC = finite(in, "the minimum of the C range");
    file.maxC = finite(in, "the maximum of the C range");
    checkRange(file.minAB, file.maxAB, 8, "A/B range");
    checkRange(file.minC, file.maxC, 16, "C range");
    file.beta = positive(in, "beta");
    file.maxA = positive(in, "the largest value of table A");
    file.a = readTable(in, file.width, file.height, "table A");
    file.maxB = positive(in, "the largest value of table B");
    file.b = readTable(in, file.width, file.height, "table B");
    return file;
}

void dumpLightLookup(LightLookupFile const& file, std::ostream& out) {
    out << "light lookup file, tables of " << file.width << " x " << file.height << '\n';
    out << "  A/B range (along x): " << file.minAB << " .. " << file.maxAB << '\n';
    out << "  C range (along y): " << file.minC << " .. " << file.maxC << '\n';
    out << "  beta: " << file.beta << '\n';
    out << "  largest value of table A: " << file.maxA << '\n';
    out << "  largest value of table B: " << file.maxB << '\n';
    struct Sample {
        std::size_t x;
        std::size_t y;
    };
    Sample const samples[] = {{0, 0},
                              {file.width - 1u, 0},
                              {file.width / 2u, file.height / 2u},
                              {0, file.height - 1u},
                              {file.width - 1u, file.height - 1u}};
    for (Sample const& s : samples) {
        std::size_t const i = s.y * file.width + s.x;
        float const ab = file.minAB + (file.maxAB - file.minAB) * float(s.x) / (file.width - 1);
        float const c = file.minC + (file.maxC - file.minC) * float(s.y) / (file.height - 1);
        out << "  x " << s.x << ", y " << s.y << " (A/B " << ab << ", C " << c << "): A "
            << file.a[i] << " (" << file.a[i] * file.maxA << "), B " << file.b[i] << " ("
            << file.b[i] * file.maxB << ")\n";
    }
}

} // namespace vlpc
