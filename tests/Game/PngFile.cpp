#include "PngFile.h"

#include <cstring>
#include <png.h>

namespace GameTestSupport {

bool PngFile::Load(std::string const& path) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_file(&image, path.c_str()) == 0) {
        error = image.message;
        return false;
    }
    image.format = PNG_FORMAT_RGB;
    width = image.width;
    height = image.height;
    rgb.assign(PNG_IMAGE_SIZE(image), 0);
    if (png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr) == 0) {
        error = image.message;
        png_image_free(&image);
        return false;
    }
    return true;
}

} // namespace GameTestSupport
