#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace Engine::Data::Format {

// Bounds-checked little-endian cursor over a byte block read from an asset
// file, the one decoder of the files' values for the engine and the tools.
// Every read reports whether the block still held the value; a failed read
// leaves the value and the cursor unchanged. fileOffset is where the block's
// first byte lies in its file, for messages that name file offsets.
class ByteReader {
public:
    ByteReader(unsigned char const* data, std::size_t size, std::size_t fileOffset = 0)
        : data(data), size(size), base(fileOffset) {}

    bool ReadU8(unsigned char& value) {
        if (Remaining() < 1) {
            return false;
        }
        value = data[position++];
        return true;
    }
    bool ReadU16(unsigned short& value) {
        if (Remaining() < 2) {
            return false;
        }
        value = static_cast<unsigned short>(data[position] | (data[position + 1] << 8));
        position += 2;
        return true;
    }
    bool ReadU32(unsigned int& value) {
        if (Remaining() < 4) {
            return false;
        }
        value = static_cast<unsigned int>(data[position]) |
                static_cast<unsigned int>(data[position + 1]) << 8 |
                static_cast<unsigned int>(data[position + 2]) << 16 |
                static_cast<unsigned int>(data[position + 3]) << 24;
        position += 4;
        return true;
    }
    bool ReadF32(float& value) {
        unsigned int bits = 0;
        if (!ReadU32(bits)) {
            return false;
        }
        std::memcpy(&value, &bits, sizeof value);
        return true;
    }
    bool Skip(std::size_t count) {
        if (Remaining() < count) {
            return false;
        }
        position += count;
        return true;
    }

    unsigned char const* Current() const { return data + position; }
    std::size_t Position() const { return position; }
    std::size_t Remaining() const { return size - position; }
    std::size_t Size() const { return size; }
    std::size_t FileOffset() const { return base + position; }

private:
    unsigned char const* data;
    std::size_t size;
    std::size_t base;
    std::size_t position = 0;
};

} // namespace Engine::Data::Format
