#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <nlohmann/json.hpp>
#include <string>

namespace vlpc {

// Checked access to the values of a manifest's JSON document. Every accessor
// that meets a missing, unknown or mistyped field throws ManifestError naming
// the manifest and the field's place, as in "demo.json: materials[3].shader".
class ManifestFields {
public:
    using json = nlohmann::json;

    explicit ManifestFields(std::string manifestPath) : manifestPath(std::move(manifestPath)) {}

    // The place of a field of an object and of an element of an array.
    static std::string at(std::string const& where, char const* key);
    static std::string at(std::string const& where, std::size_t index);

    // "<manifest>: <where>: <message>", the place left out where it is empty.
    std::string message(std::string const& where, std::string const& text) const;
    [[noreturn]] void fail(std::string const& where, std::string const& text) const;

    json const& field(json const& object, char const* key, std::string const& where) const;
    json const* optionalField(json const& object, char const* key) const;
    // Fails on the first key of the object that is not one of keys.
    void allowFields(json const& object, std::initializer_list<char const*> keys,
                     std::string const& where) const;
    json const& array(json const& value, std::string const& where) const;
    json const& object(json const& value, std::string const& where) const;
    // A non-empty string.
    std::string text(json const& value, std::string const& where) const;
    // A number that fits a float.
    float number(json const& value, std::string const& where) const;
    std::uint64_t unsignedInt(json const& value, std::uint64_t max, std::string const& where) const;
    bool boolean(json const& value, std::string const& where) const;
    // An array of exactly N numbers.
    template <std::size_t N>
    std::array<float, N> floats(json const& value, std::string const& where) const {
        if (!value.is_array() || value.size() != N) {
            fail(where, "expected an array of " + std::to_string(N) + " numbers");
        }
        std::array<float, N> result{};
        for (std::size_t i = 0; i < N; ++i) {
            result[i] = number(value[i], at(where, i));
        }
        return result;
    }

    std::string const manifestPath;
};

} // namespace vlpc
