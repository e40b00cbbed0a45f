// Writes the fuzzer's seed corpus: one valid file of each kind, a model file
// with its path file, and one bare record of each kind, made with the tests'
// asset writer.
//   fuzz_make_seeds DIRECTORY

#include "Data/Support/AssetWriter.h"
#include "Fuzz/FuzzInput.h"

#include <cstdio>
#include <string>

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
    return 0;
}
