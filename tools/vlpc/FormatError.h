#pragma once

#include <stdexcept>
#include <string>

namespace vlpc {

// A compiled asset file that breaks its layout, or records that cannot be
// written in it (a count or length beyond its field's range).
class FormatError : public std::runtime_error {
public:
    explicit FormatError(std::string const& message) : std::runtime_error(message) {}
};

} // namespace vlpc
