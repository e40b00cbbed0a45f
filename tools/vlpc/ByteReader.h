#pragma once

#include <Engine/Data/Format/ByteReader.h>
#include <cstddef>
#include <cstdint>
#include <string>

namespace vlpc {

// The format library's byte reader for the tool's validating reader: every
// read is checked against the end of the range as there, and a read past it
// throws FormatError naming the absolute file offset and what was being read.
class ByteReader {
public:
    // data points at the range's first byte, which lies at fileOffset in its file.
    ByteReader(std::uint8_t const* data, std::size_t size, std::size_t fileOffset = 0)
        : in(data, size, fileOffset) {}

    std::uint8_t u8(char const* what);
    std::uint16_t u16(char const* what);
    std::uint32_t u32(char const* what);
    float f32(char const* what);
    // Returns a pointer to the next size bytes and moves past them.
    std::uint8_t const* bytes(std::size_t size, char const* what);
    void skip(std::size_t size, char const* what) { bytes(size, what); }

    // A reader over the next size bytes; this reader moves past them.
    ByteReader sub(std::size_t size, char const* what);

    std::size_t position() const { return in.Position(); }
    std::size_t remaining() const { return in.Remaining(); }
    std::size_t fileOffset() const { return in.FileOffset(); }
    bool atEnd() const { return in.Remaining() == 0; }

private:
    // Throws unless ok, for a read of count bytes.
    void check(bool ok, std::size_t count, char const* what) const;

    Engine::Data::Format::ByteReader in;
};

} // namespace vlpc
