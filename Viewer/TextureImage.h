#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace Viewer {

// An 8-bit RGB image, top row first, as the viewer hands textures to the
// asset compiler: decoded from PNG (libpng) or JPEG (libjpeg) and written
// back as PNG, the one format the engine reads.
class TextureImage {
public:
    // Decodes PNG or JPEG bytes (told apart by their signature); false, with
    // the reason in `error`, for anything else or a damaged file.
    bool Decode(unsigned char const* bytes, std::size_t size, std::string& error);
    // Takes uncompressed BGRA texels (as assimp keeps raw embedded images).
    void FromBgra(unsigned char const* texels, unsigned width, unsigned height);
    // A single-colour image.
    void Fill(unsigned width, unsigned height, unsigned char r, unsigned char g, unsigned char b);

    bool WritePng(std::string const& path, std::string& error) const;

    unsigned Width() const { return width; }
    unsigned Height() const { return height; }
    std::vector<unsigned char> const& Rgb() const { return rgb; }

private:
    bool decodePng(unsigned char const* bytes, std::size_t size, std::string& error);
    bool decodeJpeg(unsigned char const* bytes, std::size_t size, std::string& error);

    unsigned width = 0;
    unsigned height = 0;
    std::vector<unsigned char> rgb;
};

} // namespace Viewer
