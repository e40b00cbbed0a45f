#include <cstring>
#include <vlpc/ByteReader.h>
#include <vlpc/FormatError.h>

namespace vlpc {

ByteReader::ByteReader(std::uint8_t const* data, std::size_t size, std::size_t fileOffset)
    : data(data), size(size), base(fileOffset) {}

void ByteReader::need(std::size_t count, char const* what) const {
    if (count > size - cursor) {
        throw FormatError("offset " + std::to_string(base + cursor) + ": " + what + " needs " +
                          std::to_string(count) + " bytes, but only " +
                          std::to_string(size - cursor) + " are left");
    }
}

std::uint8_t ByteReader::u8(char const* what) {
    need(1, what);
    return data[cursor++];
}

std::uint16_t ByteReader::u16(char const* what) {
    need(2, what);
    std::uint16_t const value =
        static_cast<std::uint16_t>(data[cursor] | (static_cast<unsigned>(data[cursor + 1]) << 8));
    cursor += 2;
    return value;
}

std::uint32_t ByteReader::u32(char const* what) {
    need(4, what);
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) {
        value = (value << 8) | data[cursor + i];
    }
    cursor += 4;
    return value;
}

float ByteReader::f32(char const* what) {
    std::uint32_t const bits = u32(what);
    float value = 0.0f;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

std::uint8_t const* ByteReader::bytes(std::size_t count, char const* what) {
    need(count, what);
    std::uint8_t const* first = data + cursor;
    cursor += count;
    return first;
}

ByteReader ByteReader::sub(std::size_t count, char const* what) {
    std::size_t const offset = fileOffset();
    return ByteReader(bytes(count, what), count, offset);
}

} // namespace vlpc
