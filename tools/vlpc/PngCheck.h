#pragma once

#include <cstddef>
#include <cstdint>

namespace vlpc {

// Header values of a PNG stream that decoded without error.
struct PngInfo {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint8_t bitDepth = 0;
    std::uint8_t colorType = 0;
    bool hasTransparency = false; // a tRNS chunk
    bool hasGamma = false;        // a gAMA chunk
    std::size_t streamSize = 0;   // bytes up to and including the IEND chunk
};

// Checks that data starts with a complete PNG stream (signature, chunks up to
// IEND within the given size) and that libpng decodes its image without error.
// Throws FormatError with the reason otherwise.
PngInfo checkPng(std::uint8_t const* data, std::size_t size);

// Name of a PNG colour type ("RGB", "palette", ...).
char const* pngColorTypeName(std::uint8_t colorType);

} // namespace vlpc
