#pragma once

#include <cstddef>
#include <cstdio>
#include <memory>

namespace Engine::Data {

// A PNG stream decoded to 8-bit RGB or RGBA pixels, rows packed and the bottom
// row first, the layout glTexImage2D takes. Needs no OpenGL, so the texture
// loader and the PNG fuzz target decode with the same code.
class PngImage {
public:
    // Decodes the PNG stream that starts at the file's current position
    // (signature included). Images wider or taller than maxSize are refused,
    // which also bounds the memory a damaged header can ask for. libpng's
    // errors and warnings go to the log, naming the source ("texture 3")
    // when one is given. On failure the image is left empty.
    bool Decode(std::FILE* file, bool gammaCorrect, unsigned int maxSize, char const* source);

    unsigned int Width() const { return width; }
    unsigned int Height() const { return height; }
    // 3 (RGB) or 4 (RGBA) once decoded.
    unsigned int Channels() const { return channels; }
    // Width() * Channels() * Height() bytes, or null before a successful Decode.
    unsigned char const* Pixels() const { return pixels.get(); }

private:
    unsigned int width = 0;
    unsigned int height = 0;
    unsigned int channels = 0;
    std::unique_ptr<unsigned char[]> pixels;
};

} // namespace Engine::Data
