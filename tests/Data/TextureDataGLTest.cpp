#include "Data/Support/AssetWriter.h"
#include "Data/Support/PngWriter.h"
#include "Support/GLContext.h"
#include "Support/Output.h"

#include <Engine/Data/TextureData.h>
#include <GL/glew.h>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#include <vector>

using Engine::Scene::TextureData;
using TestAssets::Bytes;
using TestAssets::PngImage;
using TestSupport::captureStdout;

namespace {

struct Loaded {
    bool result = false;
    std::string output;
};

// Texel data of level 0 as 8-bit RGB or RGBA, bottom row first.
std::vector<unsigned char> texels(TextureData const& texture, int channels) {
    glBindTexture(GL_TEXTURE_2D, texture.Texture());
    GLint width = 0;
    GLint height = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    std::vector<unsigned char> data(static_cast<std::size_t>(width * height * channels));
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, channels == 4 ? GL_RGBA : GL_RGB, GL_UNSIGNED_BYTE,
                  data.data());
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glBindTexture(GL_TEXTURE_2D, 0);
    return data;
}

GLint levelParameter(TextureData const& texture, int level, GLenum name) {
    glBindTexture(GL_TEXTURE_2D, texture.Texture());
    GLint value = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, name, &value);
    glBindTexture(GL_TEXTURE_2D, 0);
    return value;
}

GLint parameter(TextureData const& texture, GLenum name) {
    glBindTexture(GL_TEXTURE_2D, texture.Texture());
    GLint value = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, name, &value);
    glBindTexture(GL_TEXTURE_2D, 0);
    return value;
}

bool isSrgb(TextureData const& texture) {
    GLint const format = levelParameter(texture, 0, GL_TEXTURE_INTERNAL_FORMAT);
    return format == GL_SRGB || format == GL_SRGB8 || format == GL_SRGB_ALPHA ||
           format == GL_SRGB8_ALPHA8;
}

int alphaBits(TextureData const& texture) {
    return levelParameter(texture, 0, GL_TEXTURE_ALPHA_SIZE);
}

PngImage rgb3x2() {
    PngImage image;
    image.width = 3;
    image.height = 2;
    image.pixels = {10,  20,  30,  40,  50,  60,  70,  80,  90,
                    100, 110, 120, 130, 140, 150, 160, 170, 180};
    return image;
}

// One grey-ish RGB texel of value 64 with the given gAMA chunk.
PngImage gammaImage(bool hasGamma, double gamma) {
    PngImage image;
    image.pixels = {64, 64, 64};
    image.hasGamma = hasGamma;
    image.gamma = gamma;
    return image;
}

} // namespace

class TextureDataGLTest : public TestSupport::GLTest {
protected:
    void SetUp() override {
        TestSupport::GLTest::SetUp();
        char const* value = std::getenv("SCREEN_GAMMA");
        hadGamma = value != nullptr;
        if (hadGamma) {
            savedGamma = value;
        }
        unsetenv("SCREEN_GAMMA");
    }
    void TearDown() override {
        if (hadGamma) {
            setenv("SCREEN_GAMMA", savedGamma.c_str(), 1);
        } else {
            unsetenv("SCREEN_GAMMA");
        }
        TestSupport::GLTest::TearDown();
    }

    // Loads bytes through a C stream that starts with a few unrelated bytes,
    // positioned where the image begins.
    Loaded load(TextureData& texture, Bytes const& bytes, bool gammaCorrect,
                char const* source = nullptr) {
        Loaded loaded;
        std::FILE* file = std::tmpfile();
        EXPECT_NE(file, nullptr);
        if (file == nullptr) {
            return loaded;
        }
        std::fwrite("junk!", 1, 5, file);
        std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::fseek(file, 5, SEEK_SET);
        loaded.output =
            captureStdout([&] { loaded.result = texture.Load(file, gammaCorrect, source); });
        std::fclose(file);
        return loaded;
    }

    Loaded load(TextureData& texture, PngImage const& image, bool gammaCorrect) {
        Bytes const bytes = TestAssets::encodePng(image);
        EXPECT_FALSE(bytes.empty());
        return load(texture, bytes, gammaCorrect);
    }

    bool hadGamma = false;
    std::string savedGamma;
};

TEST_F(TextureDataGLTest, RgbImageIsFlippedAndUploadedAsRgb) {
    TextureData texture;
    Loaded const loaded = load(texture, rgb3x2(), false);
    EXPECT_TRUE(loaded.result);
    EXPECT_EQ(loaded.output, "");
    EXPECT_FALSE(texture.IsGammaCorrect());
    EXPECT_EQ(levelParameter(texture, 0, GL_TEXTURE_WIDTH), 3);
    EXPECT_EQ(levelParameter(texture, 0, GL_TEXTURE_HEIGHT), 2);
    EXPECT_EQ(alphaBits(texture), 0);
    EXPECT_FALSE(isSrgb(texture));
    // The first texel row is the last row of the image.
    EXPECT_EQ(texels(texture, 3),
              (std::vector<unsigned char>{100, 110, 120, 130, 140, 150, 160, 170, 180, 10, 20, 30,
                                          40, 50, 60, 70, 80, 90}));
}

TEST_F(TextureDataGLTest, ColourTexturesAreStoredAsSrgb) {
    PngImage image = rgb3x2();
    TextureData rgb;
    EXPECT_TRUE(load(rgb, image, true).result);
    EXPECT_TRUE(rgb.IsGammaCorrect());
    EXPECT_TRUE(isSrgb(rgb));
    EXPECT_EQ(alphaBits(rgb), 0);

    image.colorType = PNG_COLOR_TYPE_RGB_ALPHA;
    image.width = 2;
    image.height = 1;
    image.pixels = {1, 2, 3, 4, 5, 6, 7, 8};
    TextureData rgba;
    EXPECT_TRUE(load(rgba, image, true).result);
    EXPECT_TRUE(isSrgb(rgba));
    EXPECT_EQ(alphaBits(rgba), 8);
    EXPECT_EQ(texels(rgba, 4), image.pixels);
    TextureData linear;
    EXPECT_TRUE(load(linear, image, false).result);
    EXPECT_FALSE(isSrgb(linear));
    EXPECT_EQ(alphaBits(linear), 8);
}

TEST_F(TextureDataGLTest, PaletteImagesExpandToRgbOrRgba) {
    PngImage image;
    image.width = 2;
    image.colorType = PNG_COLOR_TYPE_PALETTE;
    image.palette = {{255, 0, 0}, {0, 128, 255}};
    image.pixels = {1, 0};
    TextureData opaque;
    EXPECT_TRUE(load(opaque, image, false).result);
    EXPECT_EQ(alphaBits(opaque), 0);
    EXPECT_EQ(texels(opaque, 3), (std::vector<unsigned char>{0, 128, 255, 255, 0, 0}));

    image.paletteAlpha = {200, 50};
    TextureData transparent;
    EXPECT_TRUE(load(transparent, image, false).result);
    EXPECT_EQ(alphaBits(transparent), 8);
    EXPECT_EQ(texels(transparent, 4),
              (std::vector<unsigned char>{0, 128, 255, 50, 255, 0, 0, 200}));
}

TEST_F(TextureDataGLTest, SixteenBitGreyBecomesEightBitRgb) {
    PngImage image;
    image.width = 2;
    image.bitDepth = 16;
    image.colorType = PNG_COLOR_TYPE_GRAY;
    image.pixels = {0x12, 0x34, 0xAB, 0xCD};
    TextureData texture;
    EXPECT_TRUE(load(texture, image, false).result);
    EXPECT_EQ(alphaBits(texture), 0);
    EXPECT_EQ(levelParameter(texture, 0, GL_TEXTURE_RED_SIZE), 8);
    EXPECT_EQ(texels(texture, 3), (std::vector<unsigned char>{0x12, 0x12, 0x12, 0xAB, 0xAB, 0xAB}));
}

TEST_F(TextureDataGLTest, LowBitDepthGreyExpandsToFullRange) {
    PngImage image;
    image.width = 4;
    image.bitDepth = 2;
    image.colorType = PNG_COLOR_TYPE_GRAY;
    image.pixels = {0x1B}; // samples 0, 1, 2, 3
    TextureData texture;
    EXPECT_TRUE(load(texture, image, false).result);
    EXPECT_EQ(texels(texture, 3),
              (std::vector<unsigned char>{0, 0, 0, 85, 85, 85, 170, 170, 170, 255, 255, 255}));
}

TEST_F(TextureDataGLTest, GreyWithAlphaBecomesRgba) {
    PngImage image;
    image.width = 2;
    image.colorType = PNG_COLOR_TYPE_GRAY_ALPHA;
    image.pixels = {10, 20, 30, 40};
    TextureData texture;
    EXPECT_TRUE(load(texture, image, false).result);
    EXPECT_EQ(alphaBits(texture), 8);
    EXPECT_EQ(texels(texture, 4), (std::vector<unsigned char>{10, 10, 10, 20, 30, 30, 30, 40}));
}

TEST_F(TextureDataGLTest, AColourKeyBecomesAnAlphaChannel) {
    PngImage image;
    image.width = 2;
    image.pixels = {1, 2, 3, 4, 5, 6};
    image.hasColorKey = true;
    image.colorKey.red = 4;
    image.colorKey.green = 5;
    image.colorKey.blue = 6;
    TextureData texture;
    EXPECT_TRUE(load(texture, image, false).result);
    EXPECT_EQ(texels(texture, 4), (std::vector<unsigned char>{1, 2, 3, 255, 4, 5, 6, 0}));
}

TEST_F(TextureDataGLTest, GammaCorrectImagesWithGammaChunkUseScreenGamma) {
    // A linear image (gAMA 1.0) shown on a 2.2 screen.
    int const expected = static_cast<int>(std::lround(255.0 * std::pow(64.0 / 255.0, 1.0 / 2.2)));
    TextureData corrected;
    EXPECT_TRUE(load(corrected, gammaImage(true, 1.0), true).result);
    std::vector<unsigned char> const value = texels(corrected, 3);
    EXPECT_NEAR(value[0], expected, 1);
    EXPECT_NE(value[0], 64);

    setenv("SCREEN_GAMMA", "1.0", 1);
    TextureData unitScreen;
    EXPECT_TRUE(load(unitScreen, gammaImage(true, 1.0), true).result);
    EXPECT_EQ(texels(unitScreen, 3)[0], 64);

    // A setting that is no number counts as unset.
    setenv("SCREEN_GAMMA", "bright", 1);
    TextureData invalid;
    EXPECT_TRUE(load(invalid, gammaImage(true, 1.0), true).result);
    EXPECT_NEAR(texels(invalid, 3)[0], expected, 1);
}

TEST_F(TextureDataGLTest, GammaIsLeftAloneWithoutChunkOrForDataTextures) {
    setenv("SCREEN_GAMMA", "1.0", 1);
    TextureData noChunk;
    EXPECT_TRUE(load(noChunk, gammaImage(false, 0.0), true).result);
    EXPECT_EQ(texels(noChunk, 3)[0], 64);

    unsetenv("SCREEN_GAMMA");
    TextureData data;
    EXPECT_TRUE(load(data, gammaImage(true, 1.0), false).result);
    EXPECT_EQ(texels(data, 3)[0], 64);
    TextureData dataDefault;
    EXPECT_TRUE(load(dataDefault, gammaImage(false, 0.0), false).result);
    EXPECT_EQ(texels(dataDefault, 3)[0], 64);
}

TEST_F(TextureDataGLTest, FilteringAndMipmapsAreSet) {
    PngImage image;
    image.width = 4;
    image.height = 4;
    image.colorType = PNG_COLOR_TYPE_RGB_ALPHA;
    image.pixels.assign(64, 200);
    TextureData texture;
    EXPECT_TRUE(load(texture, image, false).result);
    EXPECT_EQ(parameter(texture, GL_TEXTURE_MAG_FILTER), GL_LINEAR);
    EXPECT_EQ(parameter(texture, GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_LINEAR);
    EXPECT_EQ(parameter(texture, GL_TEXTURE_WRAP_S), GL_REPEAT);
    EXPECT_EQ(parameter(texture, GL_TEXTURE_WRAP_T), GL_REPEAT);
    EXPECT_EQ(parameter(texture, GL_TEXTURE_WRAP_R), GL_REPEAT);
    EXPECT_EQ(levelParameter(texture, 1, GL_TEXTURE_WIDTH), 2);
    EXPECT_EQ(levelParameter(texture, 2, GL_TEXTURE_WIDTH), 1);
    GLint alignment = 0;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    EXPECT_EQ(alignment, 4);
}

TEST_F(TextureDataGLTest, ANonPngStreamLeavesTheTextureEmpty) {
    TextureData texture;
    Bytes const text = {'n', 'o', 't', ' ', 'a', ' ', 'p', 'n', 'g', '!'};
    Loaded const loaded = load(texture, text, true);
    EXPECT_FALSE(loaded.result);
    EXPECT_EQ(loaded.output, "FATAL PNG Signature check failed\n");
    EXPECT_EQ(levelParameter(texture, 0, GL_TEXTURE_WIDTH), 0);
    // A stream shorter than a signature fails the same way.
    EXPECT_EQ(load(texture, Bytes{0x89, 'P'}, true).output, "FATAL PNG Signature check failed\n");
}

TEST_F(TextureDataGLTest, ABrokenHeaderIsReportedAsTheFirstStage) {
    Bytes bytes = TestAssets::encodePng(rgb3x2());
    bytes.resize(20);
    TextureData texture;
    Loaded const loaded = load(texture, bytes, false);
    EXPECT_FALSE(loaded.result);
    EXPECT_EQ(loaded.output, "FATAL PNG error: Read Error\nFATAL PNG loading error1\n");
}

TEST_F(TextureDataGLTest, LibpngErrorsGoToTheLogNamingTheSource) {
    PngImage image;
    image.width = 64;
    image.height = 64;
    image.pixels.resize(64 * 64 * 3);
    for (std::size_t i = 0; i < image.pixels.size(); ++i) {
        image.pixels[i] = static_cast<unsigned char>(i * 7919 % 251);
    }
    Bytes const good = TestAssets::encodePng(image);
    // One flipped bit in the middle of the image data (the first chunk after
    // the signature and IHDR is IDAT).
    Bytes flipped = good;
    ASSERT_EQ(std::string(flipped.begin() + 37, flipped.begin() + 41), "IDAT");
    flipped[8 + 25 + 8 + 100] ^= 0x10;
    TextureData texture;
    Loaded loaded;
    ::testing::internal::CaptureStderr();
    loaded = load(texture, flipped, false, "texture 7");
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
    EXPECT_FALSE(loaded.result);
    EXPECT_EQ(loaded.output, "FATAL PNG error in texture 7: IDAT: incorrect data check\n");
    EXPECT_EQ(levelParameter(texture, 0, GL_TEXTURE_WIDTH), 0);

    // Data cut short fails in the image stage, without a source as well.
    Bytes cut = good;
    cut.resize(cut.size() / 2);
    ::testing::internal::CaptureStderr();
    loaded = load(texture, cut, false);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
    EXPECT_FALSE(loaded.result);
    EXPECT_EQ(loaded.output, "FATAL PNG error: Read Error\n");
}

TEST_F(TextureDataGLTest, LoadFileOpensThePath) {
    TestAssets::TempDir dir;
    std::string const path = dir.Directory() + "image.png";
    TestAssets::writeFile(path, TestAssets::encodePng(rgb3x2()));
    TextureData texture;
    EXPECT_TRUE(texture.LoadFile(path.c_str(), false));
    EXPECT_EQ(levelParameter(texture, 0, GL_TEXTURE_WIDTH), 3);

    TextureData missing;
    bool result = true;
    std::string const out =
        captureStdout([&] { result = missing.LoadFile("no/such/icon.png", true); });
    EXPECT_FALSE(result);
    EXPECT_EQ(out, "FATAL Cannot find PNG-File\nLocation: no/such/icon.png\n");
}

TEST_F(TextureDataGLTest, TheTextureLivesAsLongAsTheObject) {
    GLuint name = 0;
    {
        TextureData texture;
        name = texture.Texture();
        texture.Activate();
        GLint bound = 0;
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
        EXPECT_EQ(static_cast<GLuint>(bound), name);
        EXPECT_TRUE(glIsTexture(name));
        texture.Deactivate();
    }
    EXPECT_FALSE(glIsTexture(name));
}
