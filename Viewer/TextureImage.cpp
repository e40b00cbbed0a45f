#include <Viewer/TextureImage.h>
#include <csetjmp>
#include <cstdio>
#include <cstring>
// jpeglib.h needs FILE and size_t declared first.
#include <jpeglib.h>
#include <png.h>

namespace Viewer {

namespace {

bool hasPrefix(unsigned char const* bytes, std::size_t size, unsigned char const* prefix,
               std::size_t length) {
    return size >= length && std::memcmp(bytes, prefix, length) == 0;
}

// libjpeg reports fatal errors through error_exit, which must not return:
// it jumps back to the decoder with the message kept.
struct JpegError {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void jpegErrorExit(j_common_ptr info) {
    auto* error = reinterpret_cast<JpegError*>(info->err);
    info->err->format_message(info, error->message);
    std::longjmp(error->jump, 1);
}

// Warnings of a damaged but readable file are not worth a line each.
void jpegQuiet(j_common_ptr, int) {}

} // namespace

bool TextureImage::Decode(unsigned char const* bytes, std::size_t size, std::string& error) {
    static unsigned char const pngSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    static unsigned char const jpegSignature[] = {0xff, 0xd8, 0xff};
    if (hasPrefix(bytes, size, pngSignature, sizeof pngSignature)) {
        return decodePng(bytes, size, error);
    }
    if (hasPrefix(bytes, size, jpegSignature, sizeof jpegSignature)) {
        return decodeJpeg(bytes, size, error);
    }
    error = "neither PNG nor JPEG";
    return false;
}

bool TextureImage::decodePng(unsigned char const* bytes, std::size_t size, std::string& error) {
    png_image png;
    std::memset(&png, 0, sizeof png);
    png.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_memory(&png, bytes, size) == 0) {
        error = std::string("PNG: ") + png.message;
        return false;
    }
    png.format = PNG_FORMAT_RGB;
    std::vector<unsigned char> pixels(PNG_IMAGE_SIZE(png));
    if (png_image_finish_read(&png, nullptr, pixels.data(), 0, nullptr) == 0) {
        error = std::string("PNG: ") + png.message;
        png_image_free(&png);
        return false;
    }
    width = png.width;
    height = png.height;
    rgb = std::move(pixels);
    return true;
}

bool TextureImage::decodeJpeg(unsigned char const* bytes, std::size_t size, std::string& error) {
    jpeg_decompress_struct info;
    JpegError jpegError;
    info.err = jpeg_std_error(&jpegError.manager);
    jpegError.manager.error_exit = jpegErrorExit;
    jpegError.manager.emit_message = jpegQuiet;
    jpegError.message[0] = '\0';
    // Everything the jump can skip lives outside this frame's C++ objects:
    // the pixels are written straight into the member.
    rgb.clear();
    if (setjmp(jpegError.jump) != 0) {
        jpeg_destroy_decompress(&info);
        error = std::string("JPEG: ") + jpegError.message;
        rgb.clear();
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, bytes, static_cast<unsigned long>(size));
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    if (info.output_components != 3) {
        jpeg_destroy_decompress(&info);
        error = "JPEG: colour space without an RGB conversion";
        return false;
    }
    width = info.output_width;
    height = info.output_height;
    rgb.resize(static_cast<std::size_t>(width) * height * 3);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = &rgb[static_cast<std::size_t>(info.output_scanline) * width * 3];
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

void TextureImage::FromBgra(unsigned char const* texels, unsigned w, unsigned h) {
    width = w;
    height = h;
    rgb.resize(static_cast<std::size_t>(w) * h * 3);
    for (std::size_t i = 0; i < static_cast<std::size_t>(w) * h; ++i) {
        rgb[i * 3] = texels[i * 4 + 2];
        rgb[i * 3 + 1] = texels[i * 4 + 1];
        rgb[i * 3 + 2] = texels[i * 4];
    }
}

void TextureImage::Fill(unsigned w, unsigned h, unsigned char r, unsigned char g, unsigned char b) {
    width = w;
    height = h;
    rgb.resize(static_cast<std::size_t>(w) * h * 3);
    for (std::size_t i = 0; i < rgb.size(); i += 3) {
        rgb[i] = r;
        rgb[i + 1] = g;
        rgb[i + 2] = b;
    }
}

bool TextureImage::WritePng(std::string const& path, std::string& error) const {
    png_image png;
    std::memset(&png, 0, sizeof png);
    png.version = PNG_IMAGE_VERSION;
    png.width = width;
    png.height = height;
    png.format = PNG_FORMAT_RGB;
    if (png_image_write_to_file(&png, path.c_str(), 0, rgb.data(), 0, nullptr) == 0) {
        error = "cannot write " + path + ": " + png.message;
        png_image_free(&png);
        return false;
    }
    return true;
}

} // namespace Viewer
