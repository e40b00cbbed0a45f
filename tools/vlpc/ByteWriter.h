#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace vlpc {

// Appends little-endian integers and floats to a byte buffer, packed without
// padding, and patches values at earlier positions.
class ByteWriter {
public:
    void u8(std::uint8_t value);
    void u16(std::uint16_t value);
    void u32(std::uint32_t value);
    void f32(float value);
    void bytes(void const* data, std::size_t size);
    void bytes(std::vector<std::uint8_t> const& data) { bytes(data.data(), data.size()); }

    // Overwrites a u16 or u32 written earlier at the given position.
    void patchU16(std::size_t position, std::uint16_t value);
    void patchU32(std::size_t position, std::uint32_t value);

    std::size_t size() const { return buffer.size(); }
    std::vector<std::uint8_t> const& data() const { return buffer; }
    std::vector<std::uint8_t> take() { return std::move(buffer); }

private:
    std::vector<std::uint8_t> buffer;
};

} // namespace vlpc
