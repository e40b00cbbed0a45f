#pragma once

#include <cstddef>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

namespace vlpc {

// Builds the manifest's JSON document and knows at each moment the field it
// reads, so that a number out of range and a key given twice in one object
// are reported with their place; nlohmann's own parser takes the last of
// duplicate keys silently.
class ManifestReader : public nlohmann::json_sax<nlohmann::json> {
public:
    using json = nlohmann::json;

    json document;
    std::string error; // the place and reason that stopped the parse

    bool null() override { return add(nullptr) != nullptr; }
    bool boolean(bool value) override { return add(value) != nullptr; }
    bool number_integer(number_integer_t value) override { return add(value) != nullptr; }
    bool number_unsigned(number_unsigned_t value) override { return add(value) != nullptr; }
    bool number_float(number_float_t value, string_t const&) override {
        return add(value) != nullptr;
    }
    bool string(string_t& value) override { return add(std::move(value)) != nullptr; }
    bool binary(binary_t& value) override { return add(json::binary(std::move(value))) != nullptr; }
    bool start_object(std::size_t) override;
    bool key(string_t& value) override;
    bool end_object() override;
    bool start_array(std::size_t) override;
    bool end_array() override;
    bool parse_error(std::size_t, std::string const& token,
                     nlohmann::detail::exception const& e) override;

private:
    // An object or array being read, with the key of the value to come.
    struct Open {
        json* value;
        std::string key;
    };

    // Where the open object or array lies.
    std::string place() const;
    // Where the value being read goes.
    std::string valuePlace() const;
    // Stores a value where it belongs and returns it in its place.
    json* add(json value);

    std::vector<Open> open;
};

} // namespace vlpc
