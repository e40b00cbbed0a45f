#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace Viewer {

// The 64-bit FNV-1a hash of a file's bytes, the viewer's cache key: fast,
// and a changed byte changes it.
class ContentHash {
public:
    void Add(void const* bytes, std::size_t size);
    void Add(std::string const& text) { Add(text.data(), text.size()); }
    // Adds a file's bytes; false when it cannot be read.
    bool AddFile(std::string const& path);

    std::uint64_t Value() const { return value; }
    // Sixteen lower-case hex digits.
    std::string Hex() const;

    // The hash of one file, as hex; empty when it cannot be read.
    static std::string OfFile(std::string const& path);

private:
    std::uint64_t value = 14695981039346656037ull;
};

} // namespace Viewer
