// Draws the lamp icon of the debug overlays: a light bulb with a screw base
// on a soft round glow, 64 x 64 RGBA, anti-aliased by 4 x 4 supersampling.
// The picture depends on nothing but this code.
//
//   LampIcon OUTPUT.png

#include <cmath>
#include <cstdio>
#include <png.h>
#include <vector>

namespace {

constexpr int Size = 64;
constexpr int Samples = 4; // per axis and pixel

struct Colour {
    float r, g, b, a;
};

// The topmost shape under a point of the icon (x right, y down, in pixels).
Colour shade(float x, float y) {
    const float bulbX = 32.0f, bulbY = 25.0f, bulbRadius = 14.0f;
    const float bulb = std::hypot(x - bulbX, y - bulbY);
    // Tip, then the screw base with its threads, then the neck, then the bulb.
    if (y >= 52.0f && y < 56.0f && x >= 28.0f && x < 36.0f) {
        return {0.30f, 0.30f, 0.34f, 1.0f};
    }
    if (y >= 42.0f && y < 52.0f && x >= 24.0f && x < 40.0f) {
        const bool thread = (static_cast<int>(y) - 42) % 3 == 2;
        return thread ? Colour{0.38f, 0.38f, 0.42f, 1.0f} : Colour{0.66f, 0.66f, 0.70f, 1.0f};
    }
    // The neck narrows from the bulb's width to the base's.
    const float neckHalf = 9.0f - (y - 34.0f) * 0.125f;
    const bool inNeck = y >= 34.0f && y < 42.0f && std::fabs(x - bulbX) < neckHalf;
    if (bulb < bulbRadius || inNeck) {
        // A rim of darker glass and a highlight up and left.
        if (bulb > bulbRadius - 2.0f && !inNeck) {
            return {0.85f, 0.62f, 0.15f, 1.0f};
        }
        if (std::hypot(x - 27.0f, y - 20.0f) < 4.0f) {
            return {1.0f, 1.0f, 0.95f, 1.0f};
        }
        return {1.0f, 0.90f, 0.45f, 1.0f};
    }
    // The glow: a translucent disc filling the icon.
    if (std::hypot(x - 32.0f, y - 32.0f) < 30.0f) {
        return {1.0f, 0.85f, 0.40f, 0.35f};
    }
    return {0.0f, 0.0f, 0.0f, 0.0f};
}

unsigned char toByte(float v) {
    return static_cast<unsigned char>(std::lround(std::fmin(std::fmax(v, 0.0f), 1.0f) * 255.0f));
}

std::vector<unsigned char> drawIcon() {
    std::vector<unsigned char> pixels(Size * Size * 4);
    for (int y = 0; y < Size; ++y) {
        for (int x = 0; x < Size; ++x) {
            // Average with premultiplied alpha, so clear samples add no colour.
            float r = 0.0f, g = 0.0f, b = 0.0f, a = 0.0f;
            for (int j = 0; j < Samples; ++j) {
                for (int i = 0; i < Samples; ++i) {
                    const Colour c = shade(static_cast<float>(x) + (i + 0.5f) / Samples,
                                           static_cast<float>(y) + (j + 0.5f) / Samples);
                    r += c.r * c.a;
                    g += c.g * c.a;
                    b += c.b * c.a;
                    a += c.a;
                }
            }
            unsigned char* p = &pixels[static_cast<size_t>((y * Size + x) * 4)];
            p[0] = toByte(a > 0.0f ? r / a : 0.0f);
            p[1] = toByte(a > 0.0f ? g / a : 0.0f);
            p[2] = toByte(a > 0.0f ? b / a : 0.0f);
            p[3] = toByte(a / (Samples * Samples));
        }
    }
    return pixels;
}

bool writePng(char const* path, std::vector<unsigned char> const& pixels) {
    std::FILE* file = std::fopen(path, "wb");
    if (file == nullptr) {
        return false;
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    if (info == nullptr || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(file);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, Size, Size, 8, PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < Size; ++y) {
        png_write_row(png, &pixels[static_cast<size_t>(y * Size * 4)]);
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return std::fclose(file) == 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: LampIcon OUTPUT.png\n");
        return 2;
    }
    if (!writePng(argv[1], drawIcon())) {
        std::fprintf(stderr, "LampIcon: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
