#include <cstring>
#include <memory>
#include <png.h>
#include <string>
#include <vector>
#include <vlpc/FormatError.h>
#include <vlpc/PngCheck.h>

namespace vlpc {

namespace {

constexpr std::size_t SIGNATURE_SIZE = 8;
constexpr std::size_t CHUNK_OVERHEAD = 12; // length, type, CRC
constexpr std::size_t IHDR_SIZE = 13;
// Decoding a larger image is refused rather than allocated.
constexpr std::uint64_t MAX_DECODED_BYTES = 256ull * 1024 * 1024;

std::uint32_t bigEndian32(std::uint8_t const* p) {
    return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) |
           std::uint32_t(p[3]);
}

// Walks the chunks from the signature to IEND and reads IHDR.
PngInfo walkChunks(std::uint8_t const* data, std::size_t size) {
    if (size < SIGNATURE_SIZE || png_sig_cmp(data, 0, SIGNATURE_SIZE) != 0) {
        throw FormatError("not a PNG stream (signature mismatch)");
    }
    PngInfo info;
    std::size_t pos = SIGNATURE_SIZE;
    bool first = true;
    while (true) {
        if (size - pos < CHUNK_OVERHEAD) {
            throw FormatError("PNG stream ends at byte " + std::to_string(size) +
                              " before its IEND chunk");
        }
        std::uint32_t const length = bigEndian32(data + pos);
        char type[5] = {};
        std::memcpy(type, data + pos + 4, 4);
        if (length > size - pos - CHUNK_OVERHEAD) {
            throw FormatError(std::string("PNG chunk ") + type + " at byte " + std::to_string(pos) +
                              " runs past the end of the record");
        }
        std::uint8_t const* body = data + pos + 8;
        if (first) {
            if (std::strcmp(type, "IHDR") != 0 || length != IHDR_SIZE) {
                throw FormatError("PNG stream does not start with an IHDR chunk");
            }
            info.width = bigEndian32(body);
            info.height = bigEndian32(body + 4);
            info.bitDepth = body[8];
            info.colorType = body[9];
            first = false;
        }
        if (std::strcmp(type, "tRNS") == 0) {
            info.hasTransparency = true;
        }
        if (std::strcmp(type, "gAMA") == 0) {
            info.hasGamma = true;
        }
        pos += CHUNK_OVERHEAD + length;
        if (std::strcmp(type, "IEND") == 0) {
            break;
        }
    }
    info.streamSize = pos;
    return info;
}

} // namespace

PngInfo checkPng(std::uint8_t const* data, std::size_t size) {
    PngInfo info = walkChunks(data, size);

    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, data, info.streamSize)) {
        std::string const reason = image.message;
        png_image_free(&image);
        throw FormatError("PNG header cannot be read: " + reason);
    }
    image.format = PNG_FORMAT_RGBA;
    std::uint64_t const bytes = std::uint64_t(image.width) * image.height * 4;
    if (bytes > MAX_DECODED_BYTES) {
        png_image_free(&image);
        throw FormatError("PNG image of " + std::to_string(info.width) + " x " +
                          std::to_string(info.height) + " pixels is too large");
    }
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(bytes));
    if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) {
        std::string const reason = image.message;
        png_image_free(&image);
        throw FormatError("PNG image does not decode: " + reason);
    }
    png_image_free(&image);
    return info;
}

char const* pngColorTypeName(std::uint8_t colorType) {
    switch (colorType) {
    case 0:
        return "grey";
    case 2:
        return "RGB";
    case 3:
        return "palette";
    case 4:
        return "grey+alpha";
    case 6:
        return "RGBA";
    default:
        return "unknown";
    }
}

} // namespace vlpc
