#include <vlpc/ByteReader.h>
#include <vlpc/FormatError.h>

namespace vlpc {

void ByteReader::check(bool ok, std::size_t count, char const* what) const {
    if (!ok) {
        throw FormatError("offset " + std::to_string(in.FileOffset()) + ": " + what + " needs " +
                          std::to_string(count) + " bytes, but only " +
                          std::to_string(in.Remaining()) + " are left");
    }
}

std::uint8_t ByteReader::u8(char const* what) {
    std::uint8_t value = 0;
    check(in.ReadU8(value), 1, what);
    return value;
}

std::uint16_t ByteReader::u16(char const* what) {
    std::uint16_t value = 0;
    check(in.ReadU16(value), 2, what);
    return value;
}

std::uint32_t ByteReader::u32(char const* what) {
    std::uint32_t value = 0;
    check(in.ReadU32(value), 4, what);
    return value;
}

float ByteReader::f32(char const* what) {
    float value = 0.0f;
    check(in.ReadF32(value), 4, what);
    return value;
}

std::uint8_t const* ByteReader::bytes(std::size_t count, char const* what) {
    std::uint8_t const* first = in.Current();
    check(in.Skip(count), count, what);
    return first;
}

ByteReader ByteReader::sub(std::size_t count, char const* what) {
    std::size_t const offset = fileOffset();
    return ByteReader(bytes(count, what), count, offset);
}

} // namespace vlpc
