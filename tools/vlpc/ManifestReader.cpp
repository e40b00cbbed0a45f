#include <vlpc/ManifestFields.h>
#include <vlpc/ManifestReader.h>

namespace vlpc {

namespace {

std::string prefixed(std::string const& where, std::string const& message) {
    return where.empty() ? message : where + ": " + message;
}

} // namespace

bool ManifestReader::start_object(std::size_t) {
    open.push_back({add(json::object()), {}});
    return true;
}

bool ManifestReader::key(string_t& value) {
    Open& top = open.back();
    if (top.value->contains(value)) {
        error = prefixed(place(), "duplicate key '" + value + "'");
        return false;
    }
    top.key = std::move(value);
    return true;
}

bool ManifestReader::end_object() {
    open.pop_back();
    return true;
}

bool ManifestReader::start_array(std::size_t) {
    open.push_back({add(json::array()), {}});
    return true;
}

bool ManifestReader::end_array() {
    open.pop_back();
    return true;
}

bool ManifestReader::parse_error(std::size_t, std::string const& token,
                                 nlohmann::detail::exception const& e) {
    if (e.id == 406) {
        error = prefixed(valuePlace(), "number " + token + " is out of range");
        return false;
    }
    error = e.what();
    // Drop nlohmann's "[json.exception.parse_error.101] " prefix.
    std::size_t const bracket = error.find("] ");
    if (bracket != std::string::npos) {
        error = error.substr(bracket + 2);
    }
    return false;
}

std::string ManifestReader::place() const {
    std::string where;
    for (std::size_t i = 0; i + 1 < open.size(); ++i) {
        // The child is the array's last element already.
        where = open[i].value->is_array() ? ManifestFields::at(where, open[i].value->size() - 1)
                                          : ManifestFields::at(where, open[i].key.c_str());
    }
    return where;
}

std::string ManifestReader::valuePlace() const {
    if (open.empty()) {
        return {};
    }
    Open const& top = open.back();
    return top.value->is_array() ? ManifestFields::at(place(), top.value->size())
                                 : ManifestFields::at(place(), top.key.c_str());
}

ManifestReader::json* ManifestReader::add(json value) {
    if (open.empty()) {
        document = std::move(value);
        return &document;
    }
    Open& top = open.back();
    if (top.value->is_array()) {
        top.value->push_back(std::move(value));
        return &top.value->back();
    }
    json& slot = (*top.value)[top.key];
    slot = std::move(value);
    return &slot;
}

} // namespace vlpc
