// Writes the fuzzer's seed corpus: one valid file of each kind, a model file
// with its path file, one bare record of each kind, made with the tests'
// asset writer, and small PNG images and WAV tracks of the kinds the texture
// and track loaders take.
//   fuzz_make_seeds DIRECTORY

#include "Data/Support/AssetWriter.h"
#include "Data/Support/PngWriter.h"
#include "Fuzz/FuzzInput.h"

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

using TestAssets::Bytes;

namespace {

char const* const vertex = "#version 330 core\nin vec4 vertex;\nvoid main() { gl_Position = "
                           "vertex; }\n";
char const* const geometry = "#version 330 core\nlayout(triangles) in;\nlayout(triangle_strip, "
                             "max_vertices = 3) out;\nvoid main() {}\n";
char const* const control = "#version 400 core\nlayout(vertices = 3) out;\nvoid main() {}\n";
char const* const evaluation = "#version 400 core\nlayout(triangles) in;\nvoid main() {}\n";
char const* const fragment = "#version 330 core\nout vec4 fragDiffuse;\nvoid main() { "
                             "fragDiffuse = vec4(1.0); }\n";

float const identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
float const boxMin[3] = {-1, -1, -1};
float const boxMax[3] = {1, 1, 1};
float const location[4] = {0, 5, 0, 1};
float const direction[3] = {0, -1, 0};

Bytes shaderRecord() {
    return TestAssets::shaderRecord(vertex, control, evaluation, geometry, fragment);
}

Bytes materialRecord() {
    return TestAssets::materialRecord(
        1, {TestAssets::diffuseColorPart(1, 0.5f, 0.25f, 0.1f),
            TestAssets::specularColorPart(1, 1, 1, 32), TestAssets::texturePart(2, 0),
            TestAssets::texturePart(3, 1), TestAssets::texturePart(4, 2)});
}

Bytes geometryRecord(unsigned int format) {
    return TestAssets::geometryRecord(format,
                                      {TestAssets::numberedVertex(0), TestAssets::numberedVertex(1),
                                       TestAssets::numberedVertex(2)},
                                      {0, 1, 2});
}

Bytes pathRecord() {
    return TestAssets::pathRecord({{0, 0, 0, 0}, {1, 1, 0, 0}, {3, 1, 2, 0}});
}

Bytes modelRecord() {
    Bytes const leaf =
        TestAssets::meshNode(identity, boxMin, boxMax, 1, 0, {{0, 1}, {1, 0}, {2, 1}}, {});
    Bytes const root = TestAssets::meshNode(identity, boxMin, boxMax, 0, 0, {},
                                            {TestAssets::groupNode({leaf}), leaf});
    Bytes const lights = TestAssets::lightComponentData(
        {TestAssets::pointLight(1, true, location, false),
         TestAssets::pointLight(2, false, location, true),
         TestAssets::spotLight(3, true, location, direction, 30, 2, false),
         TestAssets::spotLight(3, true, location, direction, 30, 2, true),
         TestAssets::Writer().u16(2).bytes});
    return TestAssets::modelRecord(
        {TestAssets::component(1, {}), TestAssets::component(2, root), TestAssets::component(3, {}),
         TestAssets::component(4, {}), TestAssets::component(5, lights),
         TestAssets::component(6, TestAssets::Writer().u16(0).u16(1).bytes),
         TestAssets::component(7, TestAssets::Writer().u16(0).u16(0).bytes)});
}

// A 3x2 image of the colour type and depth with distinct samples.
TestAssets::PngImage image(int colorType, int bitDepth) {
    TestAssets::PngImage png;
    png.width = 3;
    png.height = 2;
    png.colorType = colorType;
    png.bitDepth = bitDepth;
    png.pixels.resize(png.RowBytes() * 2);
    for (std::size_t i = 0; i < png.pixels.size(); ++i) {
        png.pixels[i] = static_cast<unsigned char>(i * 37 + 11);
    }
    return png;
}

// The PNG images the fuzzer starts from: the flag byte (gamma correction)
// and the encoded stream.
std::vector<std::pair<char const*, Bytes>> pngSeeds() {
    TestAssets::PngImage rgb = image(PNG_COLOR_TYPE_RGB, 8);
    TestAssets::PngImage rgba = image(PNG_COLOR_TYPE_RGB_ALPHA, 16);
    rgba.hasGamma = true;
    rgba.gamma = 0.45455;
    TestAssets::PngImage palette = image(PNG_COLOR_TYPE_PALETTE, 2);
    palette.palette = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {9, 9, 9}};
    palette.paletteAlpha = {255, 128, 0};
    TestAssets::PngImage grey = image(PNG_COLOR_TYPE_GRAY_ALPHA, 8);
    grey.interlaced = true;
    TestAssets::PngImage keyed = image(PNG_COLOR_TYPE_GRAY, 2);
    keyed.hasColorKey = true;
    keyed.colorKey.gray = 1;
    std::pair<char const*, TestAssets::PngImage> const images[] = {
        {"png-rgb", rgb},
        {"png-rgba16-gamma", rgba},
        {"png-palette-alpha", palette},
        {"png-grey-alpha-interlaced", grey},
        {"png-grey2-keyed", keyed}};
    std::vector<std::pair<char const*, Bytes>> seeds;
    unsigned char gamma = 0;
    for (auto const& [name, png] : images) {
        Bytes bytes{gamma};
        gamma ^= 1;
        Bytes const encoded = TestAssets::encodePng(png);
        bytes.insert(bytes.end(), encoded.begin(), encoded.end());
        seeds.emplace_back(name, bytes);
    }
    return seeds;
}

// A PCM WAV file: RIFF header, format chunk and data chunk.
Bytes wavFile(unsigned int channels, unsigned int bits, unsigned int frames) {
    unsigned int const blockAlign = channels * bits / 8;
    unsigned int const dataBytes = frames * blockAlign;
    unsigned int const rate = 8000;
    TestAssets::Writer w;
    w.raw({'R', 'I', 'F', 'F'}).u32(36 + dataBytes).raw({'W', 'A', 'V', 'E'});
    w.raw({'f', 'm', 't', ' '}).u32(16).u16(1).u16(channels).u32(rate).u32(rate * blockAlign);
    w.u16(blockAlign).u16(bits);
    w.raw({'d', 'a', 't', 'a'}).u32(dataBytes);
    for (unsigned int i = 0; i < dataBytes; ++i) {
        w.u8((i * 53 + 7) & 0xFF);
    }
    return w.bytes;
}

Bytes withKind(unsigned char kind, Bytes const& body) {
    Bytes bytes{kind};
    bytes.insert(bytes.end(), body.begin(), body.end());
    return bytes;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s DIRECTORY\n", argv[0]);
        return 1;
    }
    std::string const dir = std::string(argv[1]) + "/";
    using namespace FuzzInput;

    TestAssets::writeFile(
        dir + "shaders-file",
        withKind(SHADER_FILE,
                 TestAssets::shaderFile(
                     {shaderRecord(), TestAssets::shaderRecord(vertex, "", "", "", fragment),
                      TestAssets::shaderRecord(vertex, "", "", geometry, fragment)})));
    TestAssets::writeFile(
        dir + "textures-file",
        withKind(TEXTURE_FILE,
                 TestAssets::textureFile(
                     {Bytes{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'}, Bytes(16, 7)})));
    Bytes const models =
        TestAssets::modelFile({materialRecord(), TestAssets::materialRecord(0, {})},
                              {geometryRecord(0), geometryRecord(1), geometryRecord(2)},
                              {modelRecord(), TestAssets::modelRecord({})});
    Bytes const paths = TestAssets::pathFile({pathRecord(), TestAssets::pathRecord({})});
    TestAssets::writeFile(dir + "models-file", withKind(MODEL_FILE, models));
    TestAssets::writeFile(
        dir + "models-and-path-files",
        withKind(MODEL_AND_PATH_FILES, TestAssets::Writer()
                                           .u32(static_cast<std::uint32_t>(models.size()))
                                           .raw(models)
                                           .raw(paths)
                                           .bytes));
    TestAssets::writeFile(dir + "path-file", withKind(PATH_FILE, paths));

    struct Record {
        char const* name;
        RecordKind kind;
        Bytes bytes;
    };
    Record const records[] = {{"shader-record", SHADER_RECORD, shaderRecord()},
                              {"material-record", MATERIAL_RECORD, materialRecord()},
                              {"geometry-record", GEOMETRY_RECORD, geometryRecord(1)},
                              {"path-record", PATH_RECORD, pathRecord()},
                              {"model-record", MODEL_RECORD, modelRecord()}};
    for (Record const& record : records) {
        TestAssets::writeFile(dir + record.name,
                              withKind(RECORD, withKind(record.kind, record.bytes)));
    }
    for (auto const& [name, bytes] : pngSeeds()) {
        TestAssets::writeFile(dir + name, withKind(PNG_IMAGE, bytes));
    }
    TestAssets::writeFile(dir + "wav-mono16", withKind(WAV_TRACK, wavFile(1, 16, 12)));
    TestAssets::writeFile(dir + "wav-stereo8", withKind(WAV_TRACK, wavFile(2, 8, 10)));
    return 0;
}
