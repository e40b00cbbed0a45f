#include <Engine/Data/TextureData.h>
#include <Engine/Util/Logger.h>
#include <GL/glew.h>
#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstdlib>
#include <memory>
#include <new>
#include <png.h>
#include <string>
#include <vector>

namespace Engine::Scene {

using Util::Logger;

namespace {

// Length of the PNG signature checked before libpng takes over.
constexpr int SIGNATURE_BYTES = 8;
// Gamma assumed for images without a gAMA chunk, and for the screen when
// "SCREEN_GAMMA" is not set.
constexpr double DEFAULT_FILE_GAMMA = 0.45455;
constexpr double DEFAULT_SCREEN_GAMMA = 2.2;

// Where decoding stopped; each stage reports failures differently.
enum class Stage { Header, Second, Image };

// Everything the decoder creates, kept outside the function that calls
// setjmp so that it is still valid after libpng jumps back.
struct Decoder {
    png_structp png = nullptr;
    png_infop info = nullptr;
    char const* source = nullptr; // names the stream in messages, may be null
    Stage stage = Stage::Header;
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    int bitDepth = 0;
    int colorType = 0;
    int channels = 0;
    size_t rowBytes = 0;
    std::unique_ptr<unsigned char[]> decoded;
    std::unique_ptr<png_bytep[]> rows;
    std::unique_ptr<unsigned char[]> flipped;

    ~Decoder() {
        if (png != nullptr) {
            png_destroy_read_struct(&png, info != nullptr ? &info : nullptr, nullptr);
        }
    }
};

// A libpng message as a log line: "PNG error in texture 3: IDAT: ...".
std::string describe(char const* kind, png_structp png, png_const_charp message) {
    auto const* d = static_cast<Decoder const*>(png_get_error_ptr(png));
    std::string line = kind;
    if (d != nullptr && d->source != nullptr) {
        line += std::string(" in ") + d->source;
    }
    return line + ": " + (message != nullptr ? message : "");
}

// libpng's error handler: logs the message instead of printing it to standard
// error, then returns to the setjmp of the stage that is decoding.
void onPngError(png_structp png, png_const_charp message) {
    Logger::Instance()->Fatal(describe("PNG error", png, message).c_str());
    png_longjmp(png, 1);
}

void onPngWarning(png_structp png, png_const_charp message) {
    Logger::Instance()->Message(describe("PNG warning", png, message).c_str(), nullptr);
}

double screenGamma() {
    char const* value = std::getenv("SCREEN_GAMMA");
    if (value == nullptr) {
        return DEFAULT_SCREEN_GAMMA;
    }
    // libpng rejects a screen gamma that is not positive; such a setting
    // counts as unset.
    double const gamma = std::atof(value);
    return gamma > 0.0 && std::isfinite(gamma) ? gamma : DEFAULT_SCREEN_GAMMA;
}

void setTransforms(Decoder& d, bool gammaCorrect) {
    png_structp png = d.png;
    png_infop info = d.info;
    if (d.colorType == PNG_COLOR_TYPE_PALETTE) {
        png_set_expand(png);
    }
    if (d.colorType == PNG_COLOR_TYPE_GRAY && d.bitDepth < 8) {
        png_set_expand(png);
    }
    if (png_get_valid(png, info, PNG_INFO_tRNS) != 0) {
        png_set_expand(png);
    }
    if (d.bitDepth == 16) {
        png_set_strip_16(png);
    }
    if (d.colorType == PNG_COLOR_TYPE_GRAY || d.colorType == PNG_COLOR_TYPE_GRAY_ALPHA) {
        png_set_gray_to_rgb(png);
    }

    double fileGamma = DEFAULT_FILE_GAMMA;
    bool const hasGamma = png_get_gAMA(png, info, &fileGamma) != 0;
    if (!hasGamma) {
        fileGamma = DEFAULT_FILE_GAMMA;
    }
    if (gammaCorrect) {
        if (hasGamma) {
            png_set_gamma(png, screenGamma(), fileGamma);
        }
    } else {
        // Screen gamma 1/file gamma: the correction is the identity.
        png_set_gamma(png, 1.0 / fileGamma, fileGamma);
    }
}

// Decodes the stream after its signature into d.flipped, bottom row first.
// Returns false on any libpng error; d.stage tells where it happened.
bool decode(Decoder& d, std::FILE* file, bool gammaCorrect, int maxSize) {
    d.stage = Stage::Header;
    if (setjmp(png_jmpbuf(d.png)) != 0) {
        return false;
    }
    png_init_io(d.png, file);
    png_set_sig_bytes(d.png, SIGNATURE_BYTES);
    // Images larger than the largest texture cannot be uploaded; refusing
    // them here also bounds the memory a damaged header can ask for.
    png_set_user_limits(d.png, static_cast<png_uint_32>(maxSize),
                        static_cast<png_uint_32>(maxSize));
    png_read_info(d.png, d.info);
    png_get_IHDR(d.png, d.info, &d.width, &d.height, &d.bitDepth, &d.colorType, nullptr, nullptr,
                 nullptr);

    d.stage = Stage::Second;
    if (setjmp(png_jmpbuf(d.png)) != 0) {
        return false;
    }

    d.stage = Stage::Image;
    if (setjmp(png_jmpbuf(d.png)) != 0) {
        return false;
    }
    setTransforms(d, gammaCorrect);
    // png_read_image assembles the passes of an interlaced image only with
    // interlace handling on; without it libpng complains and may give up.
    png_set_interlace_handling(d.png);
    png_read_update_info(d.png, d.info);
    d.rowBytes = png_get_rowbytes(d.png, d.info);
    d.channels = png_get_channels(d.png, d.info);

    size_t const imageBytes = d.rowBytes * d.height;
    d.decoded.reset(new (std::nothrow) unsigned char[imageBytes]);
    if (!d.decoded) {
        return false;
    }
    d.rows.reset(new (std::nothrow) png_bytep[d.height]);
    if (!d.rows) {
        d.decoded.reset();
        return false;
    }
    for (png_uint_32 r = 0; r < d.height; ++r) {
        d.rows[r] = d.decoded.get() + r * d.rowBytes;
    }
    png_read_image(d.png, d.rows.get());
    d.rows.reset();

    // OpenGL expects the bottom row first.
    d.flipped.reset(new (std::nothrow) unsigned char[imageBytes]);
    if (!d.flipped) {
        return false;
    }
    for (png_uint_32 i = 0; i < d.height; ++i) {
        std::copy_n(d.decoded.get() + (d.height - 1 - i) * d.rowBytes, d.rowBytes,
                    d.flipped.get() + i * d.rowBytes);
    }
    png_read_end(d.png, nullptr);
    return true;
}

} // namespace

TextureData::TextureData() {
    glGenTextures(1, &texture);
}

TextureData::~TextureData() {
    glDeleteTextures(1, &texture);
}

void TextureData::Activate() {
    glBindTexture(GL_TEXTURE_2D, texture);
}

bool TextureData::LoadFile(char const* path, bool gammaCorrect) {
    std::FILE* file = path != nullptr ? std::fopen(path, "rb") : nullptr;
    if (file == nullptr) {
        Logger::Instance()->Fatal("Cannot find PNG-File");
        Logger::Instance()->Message("Location: ", path != nullptr ? path : "", nullptr);
        return false;
    }
    bool const result = Load(file, gammaCorrect, path);
    std::fclose(file);
    return result;
}

bool TextureData::Load(std::FILE* file, bool gammaCorrect, char const* source) {
    Logger* log = Logger::Instance();
    this->gammaCorrect = gammaCorrect;

    png_byte signature[SIGNATURE_BYTES] = {};
    size_t const read = file != nullptr ? std::fread(signature, 1, SIGNATURE_BYTES, file) : 0;
    if (read != SIGNATURE_BYTES || png_sig_cmp(signature, 0, SIGNATURE_BYTES) != 0) {
        log->Fatal("PNG Signature check failed");
        return false;
    }

    Decoder d;
    d.source = source;
    d.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &d, onPngError, onPngWarning);
    if (d.png == nullptr) {
        log->Fatal("PNG out of memory");
        return false;
    }
    d.info = png_create_info_struct(d.png);
    if (d.info == nullptr) {
        log->Fatal("PNG out of memory");
        return false;
    }

    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    if (!decode(d, file, gammaCorrect, maxSize > 0 ? maxSize : 1)) {
        if (d.stage == Stage::Header) {
            log->Fatal("PNG loading error1");
        } else if (d.stage == Stage::Second) {
            log->Fatal("PNG loading error2");
        }
        return false;
    }

    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_R, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);

    GLint internalFormat = 0;
    GLenum format = 0;
    if (d.channels == 4) {
        internalFormat = gammaCorrect ? GL_SRGB_ALPHA : GL_RGBA;
        format = GL_RGBA;
    } else if (d.channels == 3) {
        internalFormat = gammaCorrect ? GL_SRGB : GL_RGB;
        format = GL_RGB;
    } else {
        log->Fatal("Only RGB/RGBA format is supported");
        return true;
    }
    // Decoded rows are packed; the default alignment of 4 would read RGB rows
    // past the end of the image.
    GLint alignment = 4;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, internalFormat, static_cast<GLsizei>(d.width),
                 static_cast<GLsizei>(d.height), 0, format, GL_UNSIGNED_BYTE, d.flipped.get());
    glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
    glGenerateMipmap(GL_TEXTURE_2D);
    return true;
}

} // namespace Engine::Scene
