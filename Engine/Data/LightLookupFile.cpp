#include <Engine/Data/Format/ByteReader.h>
#include <Engine/Data/Format/FormatConstants.h>
#include <Engine/Data/LightLookupFile.h>
#include <Engine/Util/Logger.h>
#include <cmath>
#include <cstdint>
#include <sstream>
#include <string>
#include <utility>

namespace Engine::Data {

namespace {

std::string str(std::uint64_t value) {
    return std::to_string(value);
}

std::string num(float value) {
    if (std::isnan(value)) {
        return "NaN";
    }
    std::ostringstream text;
    text << value;
    return text.str();
}

// Reads the file front to back and logs the first fault it meets, naming the
// byte offset of the field at fault.
class Checker {
public:
    Checker(unsigned char const* bytes, std::size_t size, char const* path)
        : reader(bytes, size), path(path) {}

    bool Side(unsigned short& value, char const* field) {
        std::size_t const offset = reader.Position();
        if (!reader.ReadU16(value)) {
            return Fail("the file ends inside " + std::string(field) + " at byte " + str(offset) +
                        " (" + str(reader.Size()) + " bytes)");
        }
        if (value < Format::MIN_LIGHT_LOOKUP_SIDE) {
            return Fail(std::string(field) + " " + str(value) + " at byte " + str(offset) +
                        " is below " + str(Format::MIN_LIGHT_LOOKUP_SIDE));
        }
        return true;
    }
    bool Finite(float& value, char const* field) {
        std::size_t const offset = reader.Position();
        reader.ReadF32(value); // the size was checked before the floats
        if (!std::isfinite(value)) {
            return Fail(std::string(field) + " at byte " + str(offset) + " is " + num(value) +
                        ", not a finite number");
        }
        return true;
    }
    bool Positive(float& value, char const* field) {
        std::size_t const offset = reader.Position();
        if (!Finite(value, field)) {
            return false;
        }
        if (!(value > 0.0f)) {
            return Fail(std::string(field) + " at byte " + str(offset) + " is " + num(value) +
                        ", not above 0");
        }
        return true;
    }
    bool Table(std::vector<float>& values, std::size_t width, std::size_t height,
               char const* name) {
        values.resize(width * height);
        for (std::size_t i = 0; i < values.size(); ++i) {
            std::size_t const offset = reader.Position();
            reader.ReadF32(values[i]);
            if (!(values[i] >= 0.0f && values[i] <= 1.0f)) {
                return Fail(std::string(name) + " value at x " + str(i % width) + ", y " +
                            str(i / width) + " (byte " + str(offset) + ") is " + num(values[i]) +
                            ", outside [0, 1]");
            }
        }
        return true;
    }
    bool Fail(std::string const& detail) {
        std::string const line =
            std::string("Corrupt light lookup table in ") + (path ? path : "") + ": " + detail;
        Util::Logger::Instance()->Fatal(line.c_str());
        return false;
    }

    Format::ByteReader reader;

private:
    char const* path;
};

bool checkRange(Checker& checker, float min, float max, char const* what) {
    if (!(max > min)) {
        return checker.Fail(std::string("the ") + what + " range " + num(min) + " to " + num(max) +
                            " is empty (its maximum must be above its minimum)");
    }
    return true;
}

} // namespace

bool LightLookupFile::Parse(unsigned char const* bytes, std::size_t size, LightLookupData& data,
                            char const* path) {
    Checker c(bytes, size, path);
    LightLookupData parsed;
    if (!c.Side(parsed.width, "the width") || !c.Side(parsed.height, "the height")) {
        return false;
    }
    std::uint64_t const expected =
        Format::LIGHT_LOOKUP_FIXED_SIZE + 8ull * parsed.width * parsed.height;
    if (size != expected) {
        return c.Fail("the file holds " + str(size) + " bytes, tables of " + str(parsed.width) +
                      " x " + str(parsed.height) + " need " + str(expected));
    }
    bool const ok = c.Finite(parsed.minAB, "the minimum of the A/B range") &&
                    c.Finite(parsed.maxAB, "the maximum of the A/B range") &&
                    c.Finite(parsed.minC, "the minimum of the C range") &&
                    c.Finite(parsed.maxC, "the maximum of the C range") &&
                    checkRange(c, parsed.minAB, parsed.maxAB, "A/B") &&
                    checkRange(c, parsed.minC, parsed.maxC, "C") &&
                    c.Positive(parsed.beta, "beta") &&
                    c.Positive(parsed.maxA, "the largest value of table A") &&
                    c.Table(parsed.a, parsed.width, parsed.height, "table A") &&
                    c.Positive(parsed.maxB, "the largest value of table B") &&
                    c.Table(parsed.b, parsed.width, parsed.height, "table B");
    if (ok) {
        data = std::move(parsed);
    }
    return ok;
}

} // namespace Engine::Data
