#include <Game/FrameCapture.h>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <ostream>
#include <png.h>
#include <system_error>

namespace Game {

FrameCapture::FrameCapture(std::ostream& errors) : errors(errors) {}

bool FrameCapture::Open(std::string const& path) {
    namespace fs = std::filesystem;
    active = false;
    std::error_code code;
    if (fs::exists(path, code) && !fs::is_directory(path, code)) {
        errors << "error: the capture path \"" << path
               << "\" is not a folder; frames are not captured\n";
        return false;
    }
    fs::create_directories(path, code);
    if (code) {
        errors << "error: cannot create the capture folder \"" << path << "\": " << code.message()
               << "; frames are not captured\n";
        return false;
    }
    directory = path;
    active = true;
    return true;
}

std::string FrameCapture::FileName(std::uint64_t frame) const {
    char name[40];
    std::snprintf(name, sizeof name, "frame_%06llu.png", static_cast<unsigned long long>(frame));
    return (std::filesystem::path(directory) / name).string();
}

bool FrameCapture::WritePng(std::string const& file, Platform::Image const& image,
                            std::string& error, bool fast) {
    const std::size_t rowBytes = static_cast<std::size_t>(image.width) * 3;
    if (image.width == 0 || image.height == 0 || image.rgb.size() != rowBytes * image.height) {
        error = "no picture to write to \"" + file + "\"";
        return false;
    }
    png_image png;
    std::memset(&png, 0, sizeof png);
    png.version = PNG_IMAGE_VERSION;
    png.width = image.width;
    png.height = image.height;
    png.format = PNG_FORMAT_RGB;
    png.flags = fast ? PNG_IMAGE_FLAG_FAST : 0;
    // A negative row stride makes libpng take the rows from the last one up,
    // which turns OpenGL's bottom-up rows into the file's top-down order.
    const png_int_32 stride = -static_cast<png_int_32>(rowBytes);
    if (png_image_write_to_file(&png, file.c_str(), 0, image.rgb.data(), stride, nullptr) == 0) {
        error = "cannot write \"" + file + "\": " + png.message;
        png_image_free(&png);
        return false;
    }
    return true;
}

bool FrameCapture::Write(std::uint64_t frame, Platform::Image const& image) {
    if (!active) {
        return false;
    }
    const std::string file = FileName(frame);
    std::string error;
    if (!WritePng(file, image, error, true)) {
        errors << "error: frame " << frame << ": " << error << "; frames are not captured\n";
        active = false;
        return false;
    }
    return true;
}

} // namespace Game
