#include <algorithm>
#include <cmath>
#include <vlpc/ManifestCompiler.h>
#include <vlpc/ManifestFields.h>

namespace vlpc {

std::string ManifestFields::at(std::string const& where, char const* key) {
    return where.empty() ? key : where + "." + key;
}

std::string ManifestFields::at(std::string const& where, std::size_t index) {
    return where + "[" + std::to_string(index) + "]";
}

std::string ManifestFields::message(std::string const& where, std::string const& text) const {
    return manifestPath + ": " + (where.empty() ? "" : where + ": ") + text;
}

void ManifestFields::fail(std::string const& where, std::string const& text) const {
    throw ManifestError(message(where, text));
}

ManifestFields::json const& ManifestFields::field(json const& object, char const* key,
                                                  std::string const& where) const {
    auto found = object.find(key);
    if (found == object.end()) {
        fail(where, std::string("missing field '") + key + "'");
    }
    return *found;
}

ManifestFields::json const* ManifestFields::optionalField(json const& object,
                                                          char const* key) const {
    auto found = object.find(key);
    return found == object.end() ? nullptr : &*found;
}

void ManifestFields::allowFields(json const& object, std::initializer_list<char const*> keys,
                                 std::string const& where) const {
    for (auto const& item : object.items()) {
        bool const known = std::any_of(keys.begin(), keys.end(),
                                       [&](char const* key) { return item.key() == key; });
        if (!known) {
            fail(where, "unknown field '" + item.key() + "'");
        }
    }
}

ManifestFields::json const& ManifestFields::array(json const& value,
                                                  std::string const& where) const {
    if (!value.is_array()) {
        fail(where, "expected an array");
    }
    return value;
}

ManifestFields::json const& ManifestFields::object(json const& value,
                                                   std::string const& where) const {
    if (!value.is_object()) {
        fail(where, "expected an object");
    }
    return value;
}

std::string ManifestFields::text(json const& value, std::string const& where) const {
    if (!value.is_string() || value.get_ref<std::string const&>().empty()) {
        fail(where, "expected a non-empty string");
    }
    return value.get<std::string>();
}

float ManifestFields::number(json const& value, std::string const& where) const {
    if (!value.is_number()) {
        fail(where, "expected a number");
    }
    double const v = value.get<double>();
    if (!std::isfinite(v) || std::fabs(v) > 3.4e38) {
        fail(where, "number out of range");
    }
    return static_cast<float>(v);
}

std::uint64_t ManifestFields::unsignedInt(json const& value, std::uint64_t max,
                                          std::string const& where) const {
    if (!value.is_number_unsigned() || value.get<std::uint64_t>() > max) {
        fail(where, "expected a whole number from 0 to " + std::to_string(max));
    }
    return value.get<std::uint64_t>();
}

bool ManifestFields::boolean(json const& value, std::string const& where) const {
    if (!value.is_boolean()) {
        fail(where, "expected true or false");
    }
    return value.get<bool>();
}

} // namespace vlpc
