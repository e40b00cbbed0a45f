#pragma once

// RGB images for the reference-image tests: PNG reading and writing (libpng),
// read-back of the bound framebuffer, and comparison with a per-channel
// tolerance and an allowed share of differing pixels.

#include <GL/glew.h>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <png.h>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace RenderTest {

struct Image {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb; // top row first

    unsigned char const* at(int x, int y) const {
        return &rgb[static_cast<size_t>((y * width + x) * 3)];
    }
    unsigned char* at(int x, int y) { return &rgb[static_cast<size_t>((y * width + x) * 3)]; }
};

// Reads width x height pixels of the bound read framebuffer (bottom-left
// origin) into a top-row-first image.
inline Image readFramebuffer(int width, int height) {
    Image image;
    image.width = width;
    image.height = height;
    std::vector<unsigned char> raw(static_cast<size_t>(width * height * 3));
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, raw.data());
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    image.rgb.resize(raw.size());
    const size_t row = static_cast<size_t>(width * 3);
    for (int y = 0; y < height; ++y) {
        std::copy(raw.begin() + static_cast<long>(row * static_cast<size_t>(height - 1 - y)),
                  raw.begin() + static_cast<long>(row * static_cast<size_t>(height - y)),
                  image.rgb.begin() + static_cast<long>(row * static_cast<size_t>(y)));
    }
    return image;
}

inline bool writePng(std::string const& path, Image const& image) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(file);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(image.width),
                 static_cast<png_uint_32>(image.height), 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < image.height; ++y) {
        png_write_row(png, image.at(0, y));
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    std::fclose(file);
    return true;
}

inline bool readPng(std::string const& path, Image& image) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return false;
    }
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        std::fclose(file);
        return false;
    }
    png_init_io(png, file);
    png_read_info(png, info);
    png_set_strip_16(png);
    png_set_strip_alpha(png);
    png_set_palette_to_rgb(png);
    png_set_gray_to_rgb(png);
    png_read_update_info(png, info);
    image.width = static_cast<int>(png_get_image_width(png, info));
    image.height = static_cast<int>(png_get_image_height(png, info));
    image.rgb.assign(static_cast<size_t>(image.width * image.height * 3), 0);
    for (int y = 0; y < image.height; ++y) {
        png_read_row(png, image.at(0, y), nullptr);
    }
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    std::fclose(file);
    return true;
}

struct Comparison {
    int differing = 0; // pixels with a channel beyond the tolerance
    int maxDifference = 0;
    Image difference; // per-pixel absolute difference, amplified
};

inline Comparison compare(Image const& a, Image const& b, int tolerance) {
    Comparison result;
    result.difference = a;
    for (int y = 0; y < a.height; ++y) {
        for (int x = 0; x < a.width; ++x) {
            int worst = 0;
            for (int c = 0; c < 3; ++c) {
                const int d = std::abs(static_cast<int>(a.at(x, y)[c]) - b.at(x, y)[c]);
                worst = std::max(worst, d);
                result.difference.at(x, y)[c] = static_cast<unsigned char>(std::min(255, d * 8));
            }
            result.maxDifference = std::max(result.maxDifference, worst);
            if (worst > tolerance) {
                ++result.differing;
            }
        }
    }
    return result;
}

#ifdef RENDER_REFERENCE_DIR
// A pixel differs when one channel is off by more than this (of 255) ...
constexpr int PixelTolerance = 12;
// ... and a picture matches when at most this share of pixels differ.
constexpr double AllowedShare = 0.005;

inline std::string referencePath(std::string const& name) {
    return std::string(RENDER_REFERENCE_DIR) + "/" + name + ".png";
}

// Compares with the committed reference. RENDER_UPDATE_REFERENCES=1 rewrites
// it instead; the picture and a difference image go to render-diff/ when they
// differ or when RENDER_WRITE_DIFF=1.
inline void expectMatchesReference(Image const& image, std::string const& name) {
    if (std::getenv("RENDER_UPDATE_REFERENCES") != nullptr) {
        ASSERT_TRUE(writePng(referencePath(name), image));
        return;
    }
    Image expected;
    ASSERT_TRUE(readPng(referencePath(name), expected)) << "no reference " << referencePath(name);
    ASSERT_EQ(expected.width, image.width);
    ASSERT_EQ(expected.height, image.height);
    const Comparison result = compare(image, expected, PixelTolerance);
    const int allowed = static_cast<int>(AllowedShare * image.width * image.height);
    if (result.differing > allowed || std::getenv("RENDER_WRITE_DIFF") != nullptr) {
        mkdir("render-diff", 0755);
        writePng("render-diff/" + name + ".png", image);
        writePng("render-diff/" + name + "-diff.png", result.difference);
    }
    EXPECT_LE(result.differing, allowed)
        << name << ": " << result.differing << " pixels differ, largest difference "
        << result.maxDifference << " (see render-diff/)";
}
#endif

} // namespace RenderTest
