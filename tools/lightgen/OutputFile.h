#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace lightgen {

// Writes bytes to path through a temporary file beside it that is renamed into
// place once complete, so that a failed write leaves whatever was there before
// and no partial file. Creates missing parent folders. Throws
// std::runtime_error naming the path and the cause.
void writeFileAtomically(std::string const& path, std::vector<std::uint8_t> const& bytes);

} // namespace lightgen
