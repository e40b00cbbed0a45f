#pragma once

// Test-only PNG encoder on libpng: makes images of every colour type and bit
// depth in memory, with optional palette transparency and gamma chunk.

#include <csetjmp>
#include <png.h>
#include <vector>

namespace TestAssets {

struct PngImage {
    int width = 1;
    int height = 1;
    int bitDepth = 8;
    int colorType = PNG_COLOR_TYPE_RGB;
    // Rows top to bottom, packed as PNG stores them (16-bit samples big-endian).
    std::vector<unsigned char> pixels;
    std::vector<png_color> palette;
    // Palette alphas, or one colour key for grey and RGB images.
    std::vector<unsigned char> paletteAlpha;
    bool hasColorKey = false;
    png_color_16 colorKey = {};
    bool hasGamma = false;
    double gamma = 1.0;
    bool interlaced = false;

    int Channels() const {
        switch (colorType) {
        case PNG_COLOR_TYPE_RGB:
            return 3;
        case PNG_COLOR_TYPE_RGB_ALPHA:
            return 4;
        case PNG_COLOR_TYPE_GRAY_ALPHA:
            return 2;
        default:
            return 1;
        }
    }
    std::size_t RowBytes() const {
        return (static_cast<std::size_t>(width) * Channels() * bitDepth + 7) / 8;
    }
};

namespace detail {
inline void appendBytes(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<std::vector<unsigned char>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}
inline void flushNothing(png_structp) {}
} // namespace detail

// The encoded file, or an empty vector if libpng refused the image.
inline std::vector<unsigned char> encodePng(PngImage const& image) {
    std::vector<unsigned char> out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    if (png == nullptr || info == nullptr) {
        png_destroy_write_struct(&png, info != nullptr ? &info : nullptr);
        return {};
    }
    std::vector<png_bytep> rows(static_cast<std::size_t>(image.height));
    if (setjmp(png_jmpbuf(png)) != 0) {
        png_destroy_write_struct(&png, &info);
        out.clear();
        return out;
    }
    png_set_write_fn(png, &out, detail::appendBytes, detail::flushNothing);
    png_set_IHDR(png, info, static_cast<png_uint_32>(image.width),
                 static_cast<png_uint_32>(image.height), image.bitDepth, image.colorType,
                 image.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (!image.palette.empty()) {
        png_set_PLTE(png, info, image.palette.data(), static_cast<int>(image.palette.size()));
    }
    if (!image.paletteAlpha.empty()) {
        png_set_tRNS(png, info, image.paletteAlpha.data(),
                     static_cast<int>(image.paletteAlpha.size()), nullptr);
    }
    if (image.hasColorKey) {
        png_set_tRNS(png, info, nullptr, 0, &image.colorKey);
    }
    if (image.hasGamma) {
        png_set_gAMA(png, info, image.gamma);
    }
    png_write_info(png, info);
    for (int r = 0; r < image.height; ++r) {
        rows[static_cast<std::size_t>(r)] = const_cast<png_bytep>(image.pixels.data()) +
                                            static_cast<std::size_t>(r) * image.RowBytes();
    }
    png_write_image(png, rows.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

} // namespace TestAssets
