#include <cstring>
#include <utility>
#include <vlpc/ByteWriter.h>

namespace vlpc {

void ByteWriter::u8(std::uint8_t value) {
    buffer.push_back(value);
}

void ByteWriter::u16(std::uint16_t value) {
    buffer.push_back(static_cast<std::uint8_t>(value & 0xFF));
    buffer.push_back(static_cast<std::uint8_t>(value >> 8));
}

void ByteWriter::u32(std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) {
        buffer.push_back(static_cast<std::uint8_t>((value >> shift) & 0xFF));
    }
}

void ByteWriter::f32(float value) {
    std::uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    u32(bits);
}

void ByteWriter::bytes(void const* data, std::size_t size) {
    auto const* first = static_cast<std::uint8_t const*>(data);
    buffer.insert(buffer.end(), first, first + size);
}

void ByteWriter::patchU16(std::size_t position, std::uint16_t value) {
    buffer.at(position) = static_cast<std::uint8_t>(value & 0xFF);
    buffer.at(position + 1) = static_cast<std::uint8_t>(value >> 8);
}

void ByteWriter::patchU32(std::size_t position, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        buffer.at(position + i) = static_cast<std::uint8_t>((value >> (8 * i)) & 0xFF);
    }
}

} // namespace vlpc
