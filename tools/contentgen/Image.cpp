#include "Image.h"

#include <algorithm>
#include <cmath>
#include <png.h>
#include <stdexcept>

namespace contentgen {

Image::Image(int size) : size(size), rgb(static_cast<std::size_t>(3 * size * size), 0) {}

void Image::Set(int x, int y, float r, float g, float b) {
    std::uint8_t* p = &rgb[3 * (y * size + x)];
    float const c[3] = {r, g, b};
    for (int i = 0; i < 3; ++i) {
        p[i] = static_cast<std::uint8_t>(std::lround(std::clamp(c[i], 0.0f, 1.0f) * 255.0f));
    }
}

void Image::WritePng(std::string const& path) const {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(size);
    image.height = static_cast<png_uint_32>(size);
    image.format = PNG_FORMAT_RGB;
    if (png_image_write_to_file(&image, path.c_str(), 0, rgb.data(), 0, nullptr) == 0) {
        std::string const message = image.message;
        png_image_free(&image);
        throw std::runtime_error(path + ": " + message);
    }
}

} // namespace contentgen
