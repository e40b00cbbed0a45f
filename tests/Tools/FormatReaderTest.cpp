#include "ToolsTestSupport.h"

#include <gtest/gtest.h>
#include <random>
#include <vlpc/FormatError.h>
#include <vlpc/FormatReader.h>
#include <vlpc/FormatWriter.h>

using namespace vlpc;

namespace {

using Bytes = std::vector<std::uint8_t>;

void putU16(Bytes& b, std::size_t at, std::uint16_t v) {
    b.at(at) = static_cast<std::uint8_t>(v & 0xFF);
    b.at(at + 1) = static_cast<std::uint8_t>(v >> 8);
}

void putU32(Bytes& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        b.at(at + i) = static_cast<std::uint8_t>(v >> (8 * i));
    }
}

std::uint32_t u32At(Bytes const& b, std::size_t at) {
    return std::uint32_t(b.at(at)) | (std::uint32_t(b.at(at + 1)) << 8) |
           (std::uint32_t(b.at(at + 2)) << 16) | (std::uint32_t(b.at(at + 3)) << 24);
}

// Runs f, expecting a FormatError whose message contains `part`.
template <typename F> void expectFormatError(F&& f, std::string const& part) {
    try {
        f();
        ADD_FAILURE() << "no error, expected one containing: " << part;
    } catch (FormatError const& e) {
        EXPECT_NE(std::string(e.what()).find(part), std::string::npos) << e.what();
    }
}

Vertex vertexAt(float x, float y) {
    Vertex v;
    v.position = {x, y, 0, 1};
    v.normal = {0, 0, 1};
    v.smoothNormal = {0, 0, 1};
    v.uv[0] = {x, y};
    v.uv[1] = {y, x};
    v.tangent[0] = {1, 0, 0, 1};
    v.tangent[1] = {0, 1, 0, -1};
    return v;
}

// A model file with every record kind: two materials, a textured and a plain
// geometry, and models with every component the loader makes.
ModelFile sampleModels() {
    ModelFile file;
    MaterialRecord colours;
    colours.shader = 1;
    MaterialPart diffuse;
    diffuse.type = 0;
    diffuse.color = {1, 0.5f, 0.25f};
    diffuse.emit = 2;
    MaterialPart specular;
    specular.type = 1;
    specular.color = {1, 1, 1};
    specular.shininess = 40;
    colours.parts = {diffuse, specular};
    MaterialRecord textured;
    textured.shader = 0;
    for (std::uint16_t type = 2; type <= 4; ++type) {
        MaterialPart part;
        part.type = type;
        part.texture = static_cast<std::uint16_t>(type - 2);
        textured.parts.push_back(part);
    }
    file.materials = {colours, textured};

    GeometryRecord uv;
    uv.format = 2;
    uv.vertices = {vertexAt(0, 0), vertexAt(1, 0), vertexAt(0, 1)};
    uv.indices = {0, 1, 2};
    GeometryRecord base = uv;
    base.format = 0;
    for (Vertex& v : base.vertices) {
        v.uv = {};
        v.tangent = {{{0, 0, 0, 1}, {0, 0, 0, 1}}};
    }
    file.geometries = {uv, base};

    MeshNode leaf;
    leaf.geometry = 0;
    leaf.material = 1;
    leaf.boundsMax = {1, 1, 0};
    leaf.uvMapping = {{0, 1}, {1, 0}};
    leaf.matrix[12] = 3;
    MeshNode group;
    group.group = 1;
    group.children = {leaf, leaf};
    MeshNode root = leaf;
    root.children = {group};

    ComponentRecord position;
    position.type = 1;
    ComponentRecord meshDraw;
    meshDraw.type = 2;
    meshDraw.mesh = root;
    ComponentRecord collision;
    collision.type = 4;
    ComponentRecord lights;
    lights.type = 5;
    LightRecord point;
    point.kind = 0;
    point.castsShadow = 1;
    LightRecord spot;
    spot.kind = 1;
    spot.coneAngle = 20;
    spot.exponent = 50;
    spot.specular = 0;
    LightRecord unknown;
    unknown.kind = 7;
    lights.lights = {point, spot, unknown};
    ComponentRecord path;
    path.type = 6;
    path.positionPath = 0;
    path.lookAtPath = 1;
    ComponentRecord bsp;
    bsp.type = 7;
    bsp.material = 0;
    bsp.geometry = 1;
    ModelRecord full;
    full.components = {position, meshDraw, collision, lights, path, bsp};
    file.models = {full, ModelRecord{}};
    return file;
}

ReferenceCounts sampleCounts() {
    ReferenceCounts counts;
    counts.shaders = 2;
    counts.textures = 3;
    counts.paths = 2;
    return counts;
}

PathFile samplePaths() {
    PathFile file;
    PathRecord a;
    a.points = {{0, {0, 0, 0}}, {10, {10, 0, 0}}};
    PathRecord b;
    b.points = {{1, {0, 1, 0}}, {2, {0, 2, 0}}, {4, {1, 2, 3}}};
    file.paths = {a, b};
    return file;
}

ShaderFile sampleShaders() {
    ShaderFile file;
    ShaderRecord plain;
    plain.stages[0] = "#version 400\nvoid main() {}\n";
    plain.stages[4] = "#version 400\nout vec4 c;\nvoid main() { c = vec4(1); }\n";
    ShaderRecord tessellated = plain;
    tessellated.stages[1] = "tc";
    tessellated.stages[2] = "te";
    tessellated.stages[3] = "g";
    file.shaders = {plain, tessellated};
    return file;
}

} // namespace

TEST(FormatReader, ShaderFileRoundTrip) {
    ShaderFile const file = sampleShaders();
    Bytes const bytes = writeShaderFile(file);
    ShaderFileContents const read = readShaderFile(bytes);
    EXPECT_EQ(read.file, file);
    ASSERT_EQ(read.dictionary.size(), 2u);
    EXPECT_EQ(read.dictionary[0].offset, 4u + 20u);
    EXPECT_EQ(read.dictionary[1].offset, read.dictionary[0].offset + read.dictionary[0].size);
    EXPECT_TRUE(read.notes.empty());
}

TEST(FormatReader, TextureFileRoundTrip) {
    TextureFile file;
    file.textures = {TextureRecord{ToolsTest::makePng(3, 2)},
                     TextureRecord{ToolsTest::makePng(1, 5, true)}};
    TextureFileContents const read = readTextureFile(writeTextureFile(file));
    EXPECT_EQ(read.file, file);
    ASSERT_EQ(read.images.size(), 2u);
    EXPECT_EQ(read.images[0].width, 3u);
    EXPECT_EQ(read.images[0].colorType, 2);
    EXPECT_EQ(read.images[1].height, 5u);
    EXPECT_EQ(read.images[1].colorType, 6);
}

TEST(FormatReader, ModelFileRoundTripWithEveryRecordKind) {
    ModelFile const file = sampleModels();
    ModelFileContents const read = readModelFile(writeModelFile(file), sampleCounts());
    EXPECT_EQ(read.file, file);
    EXPECT_EQ(read.materialDictionary.size(), 2u);
    EXPECT_EQ(read.geometryDictionary.size(), 2u);
    EXPECT_EQ(read.modelDictionary.size(), 2u);
    // The light of unknown kind is tolerated, and noted.
    ASSERT_EQ(read.notes.size(), 1u);
    EXPECT_NE(read.notes[0].find("light kind 7"), std::string::npos);
}

TEST(FormatReader, ASecondComponentOfATypeIsNoted) {
    ModelFile file = sampleModels();
    ComponentRecord camera;
    camera.type = 3;
    ModelRecord& model = file.models[0];
    model.components.push_back(camera);
    model.components.push_back(camera);
    model.components.push_back(model.components[0]);
    ModelFileContents const read = readModelFile(writeModelFile(file), sampleCounts());
    std::string const expected =
        "is a second component of type " + std::to_string(model.components[0].type);
    std::vector<std::string> seconds;
    for (std::string const& note : read.notes) {
        if (note.find("second component") != std::string::npos) {
            seconds.push_back(note);
        }
    }
    // Cameras make no component: two of them replace nothing.
    ASSERT_EQ(seconds.size(), 1u);
    EXPECT_NE(seconds[0].find(expected), std::string::npos) << seconds[0];
}

TEST(FormatReader, PathFileRoundTrip) {
    PathFile const file = samplePaths();
    PathFileContents const read = readPathFile(writePathFile(file));
    EXPECT_EQ(read.file, file);
    EXPECT_TRUE(read.notes.empty());
}

TEST(FormatReader, RecordsMayStandInAnyOrder) {
    // Swap the two path records and their dictionary entries' offsets.
    PathFile const file = samplePaths();
    Bytes bytes = writePathFile(file);
    std::uint32_t const offset0 = u32At(bytes, 4);
    std::uint32_t const size0 = u32At(bytes, 8);
    std::uint32_t const size1 = u32At(bytes, 18);
    Bytes swapped(bytes.begin(), bytes.begin() + offset0);
    swapped.insert(swapped.end(), bytes.begin() + offset0 + size0, bytes.end());
    swapped.insert(swapped.end(), bytes.begin() + offset0, bytes.begin() + offset0 + size0);
    putU32(swapped, 4, offset0 + size1);
    putU32(swapped, 14, offset0);
    // Dictionary records in reverse id order as well.
    Bytes reordered = swapped;
    std::copy(swapped.begin() + 12, swapped.begin() + 22, reordered.begin() + 2);
    std::copy(swapped.begin() + 2, swapped.begin() + 12, reordered.begin() + 12);
    EXPECT_EQ(readPathFile(reordered).file, file);
}

TEST(FormatReader, WrongVersionsAreRejected) {
    Bytes shaders = writeShaderFile(sampleShaders());
    putU16(shaders, 0, 2);
    expectFormatError([&] { readShaderFile(shaders); },
                      "wrong shader format version 2 (expected 1)");
    Bytes models = writeModelFile(sampleModels());
    putU16(models, 0, 3);
    expectFormatError([&] { readModelFile(models); }, "wrong model format version 3 (expected 4)");
}

TEST(FormatReader, EveryTruncationIsRejected) {
    std::vector<std::pair<char const*, Bytes>> const files = {
        {"shaders", writeShaderFile(sampleShaders())},
        {"models", writeModelFile(sampleModels())},
        {"paths", writePathFile(samplePaths())},
        {"textures", writeTextureFile(TextureFile{{TextureRecord{ToolsTest::makePng(2, 2)}}})}};
    for (auto const& [kind, bytes] : files) {
        for (std::size_t length = 0; length < bytes.size(); ++length) {
            Bytes const cut(bytes.begin(), bytes.begin() + length);
            std::string const name = kind;
            bool rejected = false;
            try {
                if (name == "shaders") {
                    readShaderFile(cut);
                } else if (name == "models") {
                    readModelFile(cut);
                } else if (name == "paths") {
                    readPathFile(cut);
                } else {
                    readTextureFile(cut);
                }
            } catch (FormatError const&) {
                rejected = true;
            }
            EXPECT_TRUE(rejected) << kind << " cut to " << length << " bytes";
        }
    }
}

TEST(FormatReader, DictionaryFaults) {
    Bytes const good = writePathFile(samplePaths());
    Bytes bad = good;
    putU16(bad, 2, 5);
    expectFormatError([&] { readPathFile(bad); },
                      "PathDictionary: record 0 names id 5, but the dictionary holds 2 entries");
    bad = good;
    putU16(bad, 12, 0);
    expectFormatError([&] { readPathFile(bad); }, "PathDictionary: id 0 appears twice");
    bad = good;
    putU32(bad, 14, static_cast<std::uint32_t>(good.size()) - 4);
    expectFormatError([&] { readPathFile(bad); }, "ends past the end of the file");
    bad = good;
    putU32(bad, 4, 0xFFFFFFF0u); // offset + size overflows 32 bits
    expectFormatError([&] { readPathFile(bad); }, "ends past the end of the file");
}

TEST(FormatReader, ShaderRecordFaults) {
    ShaderFile file;
    file.shaders.resize(1);
    file.shaders[0].stages[0] = "abc";
    Bytes const good = writeShaderFile(file);
    std::size_t const record = u32At(good, 6);
    Bytes bad = good;
    bad[record + 2 + 3] = 'x'; // the terminating zero of the vertex text
    expectFormatError([&] { readShaderFile(bad); }, "shader 0: vertex text is not zero-terminated");
    bad = good;
    bad[record + 3] = 0;
    expectFormatError([&] { readShaderFile(bad); }, "has a zero byte before its end");
    bad = good;
    putU32(bad, 10, u32At(good, 10) - 1); // the record ends inside the fragment length
    bad.pop_back();
    expectFormatError([&] { readShaderFile(bad); }, "shader 0: offset");
    // A program without a fragment text is legal but noted.
    EXPECT_EQ(readShaderFile(good).notes.size(), 1u);
}

TEST(FormatReader, TexturesMustBeCompletePngStreams) {
    Bytes png = ToolsTest::makePng(4, 4);
    TextureFile file{{TextureRecord{png}}};
    Bytes bad = writeTextureFile(file);
    bad[12] = 'X'; // the first signature byte of the record
    expectFormatError([&] { readTextureFile(bad); }, "texture 0: not a PNG stream");

    bad = writeTextureFile(file);
    bad[bad.size() - 20] ^= 0x55; // inside the image data: CRC or zlib failure
    expectFormatError([&] { readTextureFile(bad); }, "texture 0: PNG image does not decode");

    Bytes longer = png;
    longer.push_back(0);
    expectFormatError(
        [&] { readTextureFile(writeTextureFile(TextureFile{{TextureRecord{longer}}})); },
        "the record holds");
}

TEST(FormatReader, MaterialFaults) {
    ModelFile file = sampleModels();
    file.materials[0].parts[0].type = 0;
    Bytes good = writeModelFile(file);
    std::size_t const material = u32At(good, 6);
    Bytes bad = good;
    putU16(bad, material + 3, 5); // the first part's type
    expectFormatError([&] { readModelFile(bad); },
                      "material 0: part 0: unknown part type 5 (0 to 4)");
    bad = good;
    bad[material + 2] = 3; // one part more than the record holds
    expectFormatError([&] { readModelFile(bad); }, "material 0: part 2: offset");

    ReferenceCounts few = sampleCounts();
    few.textures = 2;
    expectFormatError([&] { readModelFile(good, few); },
                      "material 1: part 2: texture id 2 does not exist (2 entries)");
    few = sampleCounts();
    few.shaders = 1;
    expectFormatError([&] { readModelFile(good, few); }, "material 0: shader id 1 does not exist");
}

TEST(FormatReader, GeometryFaults) {
    ModelFile file = sampleModels();
    auto geometryFault = [&](auto change, std::string const& message) {
        ModelFile copy = file;
        Bytes bytes = writeModelFile(copy);
        std::size_t const dictionary = 4 + 2 * 10 + 2; // first geometry entry
        std::size_t const record = u32At(bytes, dictionary + 2);
        change(bytes, record);
        expectFormatError([&] { readModelFile(bytes); }, message);
    };
    geometryFault([](Bytes& b, std::size_t r) { b[r] = 3; },
                  "geometry 0: unknown vertex format 3 (0, 1 or 2)");
    geometryFault([](Bytes& b, std::size_t r) { putU32(b, r + 1, 0x7FFFFFFF); },
                  "geometry 0: 2147483647 vertices of 88 bytes do not fit in the record");
    geometryFault([](Bytes& b, std::size_t r) { putU32(b, r + 5 + 3 * 88 + 4, 7); },
                  "geometry 0: index 0 is 7, but there are 3 vertices");
    geometryFault([](Bytes& b, std::size_t r) { putU32(b, r + 5 + 3 * 88, 2); },
                  "geometry 0: index count 2 is not a multiple of 3");
    // Format 1 and 2 share the layout.
    file.geometries[0].format = 1;
    EXPECT_EQ(readModelFile(writeModelFile(file)).file.geometries[0].format, 1);
}

TEST(FormatReader, ModelFaults) {
    ModelFile file = sampleModels();
    // The mesh names geometry 2 of 2.
    file.models[0].components[1].mesh.children[0].children[1].geometry = 2;
    expectFormatError([&] { readModelFile(writeModelFile(file)); },
                      "model 0: component 1: root mesh: child 0: child 1: geometry id 2 does not "
                      "exist (2 entries)");

    file = sampleModels();
    file.models[0].components[1].mesh.uvMapping = {{3, 0}};
    expectFormatError([&] { readModelFile(writeModelFile(file)); },
                      "unknown texture mapping key 3");
    file.models[0].components[1].mesh.uvMapping = {{0, 2}};
    expectFormatError([&] { readModelFile(writeModelFile(file)); }, "names channel 2");

    file = sampleModels();
    file.models[0].components[5].geometry = 0; // textured geometry for BSP
    expectFormatError([&] { readModelFile(writeModelFile(file)); },
                      "model 0: component 5: BSP geometry 0 has texture channels");

    file = sampleModels();
    ReferenceCounts counts = sampleCounts();
    counts.paths = 1;
    expectFormatError([&] { readModelFile(writeModelFile(file), counts); },
                      "model 0: component 4: path id 1 does not exist (1 entries)");
}

TEST(FormatReader, ComponentLengthMustMatchItsStructure) {
    ModelFile file = sampleModels();
    Bytes bytes = writeModelFile(file);
    std::size_t const dictionary = 4 + 2 * 10 + 2 + 2 * 10 + 2; // model 0's entry
    std::size_t const record = u32At(bytes, dictionary + 2);
    // The second component is the mesh draw one; claim one byte less.
    std::size_t const second = record + 2 + 4;
    std::uint16_t const length =
        static_cast<std::uint16_t>(bytes[second + 2] | bytes[second + 3] << 8);
    putU16(bytes, second + 2, static_cast<std::uint16_t>(length - 1));
    expectFormatError([&] { readModelFile(bytes); }, "model 0: component 1");
}

TEST(FormatReader, PathFaults) {
    PathFile file = samplePaths();
    file.paths[1].points[2].time = 2;
    expectFormatError([&] { readPathFile(writePathFile(file)); },
                      "path 1: point 2 at time 2.000000 does not come after the time before it");
    Bytes bytes = writePathFile(samplePaths());
    putU16(bytes, u32At(bytes, 4), 256);
    expectFormatError([&] { readPathFile(bytes); }, "path 0: 256 points (at most 255)");
    PathFile one;
    one.paths.resize(1);
    one.paths[0].points = {{0, {0, 0, 0}}};
    EXPECT_EQ(readPathFile(writePathFile(one)).notes.size(), 1u);
}

TEST(FormatReader, DeepMeshNestingIsRejectedWithoutExhaustingTheStack) {
    // 20000 nested group nodes: flag 1 and child count 1 each, the last with 0.
    Bytes mesh;
    for (int i = 0; i < 20000; ++i) {
        mesh.insert(mesh.end(), {1, 1, 0});
    }
    mesh.insert(mesh.end(), {1, 0, 0});
    ModelFile file;
    ComponentRecord component;
    component.type = 9; // raw data, patched into a mesh draw component below
    component.rawData.assign(mesh.begin(), mesh.begin() + 60000);
    file.models.push_back(ModelRecord{{component}});
    Bytes bytes = writeModelFile(file);
    std::size_t const record = u32At(bytes, 4 + 2 + 2 + 2);
    putU16(bytes, record + 2, 2);
    expectFormatError([&] { readModelFile(bytes); }, "mesh hierarchy deeper than 64 levels");
}

TEST(FormatReader, RandomCorruptionIsRejectedOrReadButNeverCrashes) {
    Bytes const good = writeModelFile(sampleModels());
    std::mt19937 random(1234);
    std::size_t rejected = 0;
    for (int round = 0; round < 3000; ++round) {
        Bytes bytes = good;
        for (int flips = 0; flips < 1 + round % 4; ++flips) {
            bytes[random() % bytes.size()] = static_cast<std::uint8_t>(random());
        }
        try {
            readModelFile(bytes, sampleCounts());
        } catch (FormatError const&) {
            ++rejected;
        }
    }
    // Most single-byte changes still give a valid file (float data), but
    // changes to counts, ids and types must be caught.
    EXPECT_GT(rejected, 100u);
}

TEST(FormatReader, DictionaryCountOfASiblingFile) {
    EXPECT_EQ(readDictionaryCount(writeShaderFile(sampleShaders()), true), 2u);
    EXPECT_EQ(readDictionaryCount(writePathFile(samplePaths()), false), 2u);
    EXPECT_THROW(readDictionaryCount(Bytes{1}, false), FormatError);
}
