#include <Engine/Data/Internal/PngImage.h>
#include <Engine/Util/Logger.h>
#include <cmath>
#include <csetjmp>
#include <cstdlib>
#include <new>
#include <png.h>
#include <string>
#include <utility>

namespace Engine::Data {

using Util::Logger;

namespace {

// Length of the PNG signature checked before libpng takes over.
constexpr int SIGNATURE_BYTES = 8;
// Gamma assumed for images without a gAMA chunk, and for the screen when
// "SCREEN_GAMMA" is not set.
constexpr double DEFAULT_FILE_GAMMA = 0.45455;
constexpr double DEFAULT_SCREEN_GAMMA = 2.2;

// Where decoding stopped: a failure while reading the header is reported
// with a line of its own, one while reading the image only by libpng.
enum class Stage { Header, Image };

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
    unsigned int channels = 0;
    std::unique_ptr<unsigned char[]> pixels;
    std::unique_ptr<png_bytep[]> rows;

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

// Decodes the stream after its signature into d.pixels, bottom row first.
// Returns false on any libpng error; d.stage tells where it happened.
bool decode(Decoder& d, std::FILE* file, bool gammaCorrect, unsigned int maxSize) {
    d.stage = Stage::Header;
    if (setjmp(png_jmpbuf(d.png)) != 0) {
        return false;
    }
    png_init_io(d.png, file);
    png_set_sig_bytes(d.png, SIGNATURE_BYTES);
    png_set_user_limits(d.png, maxSize, maxSize);
    png_read_info(d.png, d.info);
    png_get_IHDR(d.png, d.info, &d.width, &d.height, &d.bitDepth, &d.colorType, nullptr, nullptr,
                 nullptr);

    d.stage = Stage::Image;
    if (setjmp(png_jmpbuf(d.png)) != 0) {
        return false;
    }
    setTransforms(d, gammaCorrect);
    // png_read_image assembles the passes of an interlaced image only with
    // interlace handling on; without it libpng complains and may give up.
    png_set_interlace_handling(d.png);
    png_read_update_info(d.png, d.info);
    size_t const rowBytes = png_get_rowbytes(d.png, d.info);
    d.channels = png_get_channels(d.png, d.info);

    d.pixels.reset(new (std::nothrow) unsigned char[rowBytes * d.height]);
    d.rows.reset(new (std::nothrow) png_bytep[d.height]);
    if (!d.pixels || !d.rows) {
        Logger::Instance()->Fatal("PNG out of memory");
        return false;
    }
    // OpenGL expects the bottom row first: libpng writes the top row to the
    // last row of the image.
    for (png_uint_32 r = 0; r < d.height; ++r) {
        d.rows[r] = d.pixels.get() + (d.height - 1 - r) * rowBytes;
    }
    png_read_image(d.png, d.rows.get());
    png_read_end(d.png, nullptr);
    return true;
}

} // namespace

bool PngImage::Decode(std::FILE* file, bool gammaCorrect, unsigned int maxSize,
                      char const* source) {
    Logger* log = Logger::Instance();
    width = height = channels = 0;
    pixels.reset();

    png_byte signature[SIGNATURE_BYTES] = {};
    size_t const read = file != nullptr ? std::fread(signature, 1, SIGNATURE_BYTES, file) : 0;
    if (read != SIGNATURE_BYTES || png_sig_cmp(signature, 0, SIGNATURE_BYTES) != 0) {
        log->Fatal("PNG Signature check failed");
        return false;
    }

    Decoder d;
    d.source = source;
    d.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &d, onPngError, onPngWarning);
    d.info = d.png != nullptr ? png_create_info_struct(d.png) : nullptr;
    if (d.info == nullptr) {
        log->Fatal("PNG out of memory");
        return false;
    }
    if (!decode(d, file, gammaCorrect, maxSize > 0 ? maxSize : 1)) {
        if (d.stage == Stage::Header) {
            log->Fatal("PNG loading error1");
        }
        return false;
    }
    if (d.channels != 3 && d.channels != 4) {
        log->Fatal("Only RGB/RGBA format is supported");
        return false;
    }
    width = d.width;
    height = d.height;
    channels = d.channels;
    pixels = std::move(d.pixels);
    return true;
}

} // namespace Engine::Data
