#include "Data/Support/AssetWriter.h"
#include "Support/Output.h"

#include <Engine/Data/RecordParser.h>
#include <gtest/gtest.h>
#include <string>

using Engine::Data::RecordParser;
using Engine::Data::Format::ByteReader;
namespace Format = Engine::Data::Format;
using TestAssets::Bytes;
using TestSupport::captureStdout;

namespace {

RecordParser::Where const where{"dir/models.vlp", "test", 7};

RecordParser::Counts someCounts() {
    RecordParser::Counts counts;
    counts.shaders = 2;
    counts.textures = 3;
    counts.materials = 4;
    counts.geometries = 5;
    counts.models = 1;
    counts.paths = 2;
    return counts;
}

float const identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
float const boxMin[3] = {-1, -2, -3};
float const boxMax[3] = {1, 2, 3};

Bytes simpleMesh(unsigned int geometryId, unsigned int materialId,
                 std::vector<std::pair<unsigned int, unsigned int>> const& mapping = {},
                 std::vector<Bytes> const& children = {}) {
    return TestAssets::meshNode(identity, boxMin, boxMax, geometryId, materialId, mapping,
                                children);
}

// A model record that uses every kind of component.
Bytes fullModel() {
    float const location[4] = {1, 2, 3, 1};
    float const direction[3] = {0, -1, 0};
    Bytes const mesh = simpleMesh(1, 2, {{0, 1}, {1, 0}}, {TestAssets::groupNode({})});
    Bytes const lights = TestAssets::lightComponentData(
        {TestAssets::pointLight(2.0f, true, location, false),
         TestAssets::spotLight(3.0f, false, location, direction, 20.0f, 4.0f, true),
         TestAssets::Writer().u16(9).bytes});
    return TestAssets::modelRecord(
        {TestAssets::component(1, {}), TestAssets::component(2, mesh),
         TestAssets::component(3, {1, 2, 3}), TestAssets::component(4, {}),
         TestAssets::component(5, lights),
         TestAssets::component(6, TestAssets::Writer().u16(1).u16(0).bytes),
         TestAssets::component(7, TestAssets::Writer().u16(3).u16(4).bytes),
         TestAssets::component(42, {9, 9})});
}

template <typename Parse> std::string rejectedWith(Parse&& parse) {
    bool ok = true;
    std::string const out = captureStdout([&] { ok = parse(); });
    EXPECT_FALSE(ok);
    return out;
}

// Every strict prefix of a valid record must be rejected, with one fatal line.
template <typename Parse> void everyPrefixIsRejected(Bytes const& record, Parse&& parse) {
    for (std::size_t length = 0; length < record.size(); ++length) {
        Bytes const prefix(record.begin(), record.begin() + static_cast<long>(length));
        bool ok = true;
        std::string const out = captureStdout([&] { ok = parse(prefix); });
        EXPECT_FALSE(ok) << "prefix of " << length << " bytes was accepted";
        EXPECT_EQ(out.rfind("FATAL Corrupt test record 7 in dir/models.vlp: ", 0), 0u)
            << "prefix of " << length << ": " << out;
    }
}

} // namespace

TEST(RecordParserDictionary, ReadsRecordsInFileOrder) {
    Bytes const block = TestAssets::Writer().u16(1).u32(100).u32(20).u16(0).u32(120).u32(5).bytes;
    ByteReader reader(block.data(), block.size());
    std::vector<RecordParser::DictionaryRecord> records;
    ASSERT_TRUE(RecordParser::ParseDictionary(reader, 2, records, "f", "ShaderDictionary"));
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].id, 1);
    EXPECT_EQ(records[0].entry.offset, 100u);
    EXPECT_EQ(records[0].entry.size, 20u);
    EXPECT_EQ(records[1].id, 0);
    EXPECT_EQ(records[1].entry.offset, 120u);
    EXPECT_EQ(records[1].entry.size, 5u);
    EXPECT_EQ(reader.Remaining(), 0u);
}

TEST(RecordParserDictionary, LeavesOutIdsNotBelowTheCount) {
    Bytes const block = TestAssets::Writer().u16(2).u32(100).u32(20).u16(0).u32(120).u32(5).bytes;
    ByteReader reader(block.data(), block.size());
    std::vector<RecordParser::DictionaryRecord> records;
    std::string const out = captureStdout([&] {
        EXPECT_TRUE(RecordParser::ParseDictionary(reader, 2, records, "f.vlp", "PathDictionary"));
    });
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].id, 0);
    EXPECT_EQ(out, "FATAL Corrupt PathDictionary in f.vlp: dictionary record 0 names id 2, but "
                   "the count is 2\n");
}

TEST(RecordParserDictionary, RejectsABlockShorterThanTheCount) {
    Bytes const block = TestAssets::Writer().u16(0).u32(100).u32(20).bytes;
    ByteReader reader(block.data(), block.size());
    std::vector<RecordParser::DictionaryRecord> records;
    std::string const out = rejectedWith([&] {
        return RecordParser::ParseDictionary(reader, 3, records, "f.vlp", "TextureDictionary");
    });
    EXPECT_EQ(out, "FATAL Corrupt TextureDictionary in f.vlp: 3 records need 30 bytes, the file "
                   "has 10\n");
    EXPECT_TRUE(records.empty());
}

TEST(RecordParserBounds, RecordsMustLieInsideTheFile) {
    EXPECT_TRUE(RecordParser::CheckRecordBounds({90, 10}, 100, where));
    EXPECT_TRUE(RecordParser::CheckRecordBounds({100, 0}, 100, where));
    std::string const out = rejectedWith([] {
        return RecordParser::CheckRecordBounds({95, 10}, 100, where);
    });
    EXPECT_EQ(out, "FATAL Corrupt test record 7 in dir/models.vlp: bytes 95 to 105 lie past the "
                   "end of the file (100 bytes)\n");
    // Offset and size near 2^32 must not wrap around.
    rejectedWith([] { return RecordParser::CheckRecordBounds({0xFFFFFFF0u, 0x20u}, 100, where); });
}

TEST(RecordParserShader, ReadsTheFiveTexts) {
    Bytes const bytes = TestAssets::shaderRecord("vert", "", "tese", "geom", "frag");
    RecordParser::ShaderRecord record;
    ASSERT_TRUE(RecordParser::ParseShaderRecord(bytes.data(), bytes.size(), record, where));
    EXPECT_EQ(record.texts[Format::STAGE_VERTEX], "vert");
    EXPECT_EQ(record.texts[Format::STAGE_TESS_CONTROL], "");
    EXPECT_EQ(record.texts[Format::STAGE_TESS_EVALUATION], "tese");
    EXPECT_EQ(record.texts[Format::STAGE_GEOMETRY], "geom");
    EXPECT_EQ(record.texts[Format::STAGE_FRAGMENT], "frag");
    EXPECT_EQ(record.lengths[Format::STAGE_VERTEX], 5);
    EXPECT_FALSE(record.Has(Format::STAGE_TESS_CONTROL));
    EXPECT_TRUE(record.Has(Format::STAGE_TESS_EVALUATION));
}

TEST(RecordParserShader, RejectsTextsWithoutTerminatingZero) {
    Bytes const bytes =
        TestAssets::Writer().u16(2).u8('a').u8('b').u16(0).u16(0).u16(0).u16(0).bytes;
    RecordParser::ShaderRecord record;
    std::string const out = rejectedWith(
        [&] { return RecordParser::ParseShaderRecord(bytes.data(), bytes.size(), record, where); });
    EXPECT_NE(out.find("the vertex shader text is not zero-terminated"), std::string::npos) << out;
}

TEST(RecordParserShader, RejectsTruncatedAndOverlongRecords) {
    Bytes const bytes = TestAssets::shaderRecord("v", "", "", "g", "f");
    everyPrefixIsRejected(bytes, [](Bytes const& b) {
        RecordParser::ShaderRecord record;
        return RecordParser::ParseShaderRecord(b.data(), b.size(), record, where);
    });
    Bytes longer = bytes;
    longer.push_back(0);
    RecordParser::ShaderRecord record;
    std::string const out = rejectedWith([&] {
        return RecordParser::ParseShaderRecord(longer.data(), longer.size(), record, where);
    });
    EXPECT_NE(out.find("1 unexpected bytes after the record's data"), std::string::npos) << out;
}

TEST(RecordParserMaterial, ReadsEveryPartType) {
    Bytes const bytes = TestAssets::materialRecord(
        1, {TestAssets::diffuseColorPart(0.5f, 0.25f, 1.0f, 2.0f),
            TestAssets::specularColorPart(1.0f, 0.0f, 0.5f, 64), TestAssets::texturePart(2, 0),
            TestAssets::texturePart(3, 1), TestAssets::texturePart(4, 2)});
    RecordParser::MaterialRecord record;
    ASSERT_TRUE(
        RecordParser::ParseMaterialRecord(bytes.data(), bytes.size(), someCounts(), record, where));
    EXPECT_EQ(record.shaderId, 1);
    ASSERT_EQ(record.parts.size(), 5u);
    EXPECT_EQ(record.parts[0].type, Format::PART_DIFFUSE_COLOR);
    EXPECT_EQ(record.parts[0].color, Engine::Math::Vec3f(0.5f, 0.25f, 1.0f));
    EXPECT_EQ(record.parts[0].emit, 2.0f);
    EXPECT_EQ(record.parts[1].type, Format::PART_SPECULAR_COLOR);
    EXPECT_EQ(record.parts[1].color, Engine::Math::Vec3f(1.0f, 0.0f, 0.5f));
    EXPECT_EQ(record.parts[1].shininess, 64u);
    for (unsigned short i = 2; i < 5; ++i) {
        EXPECT_EQ(record.parts[i].type, i);
        EXPECT_EQ(record.parts[i].textureId, i - 2);
    }
}

TEST(RecordParserMaterial, RejectsUnknownPartTypes) {
    Bytes const bytes = TestAssets::materialRecord(
        0, {TestAssets::texturePart(2, 0), TestAssets::Writer().u16(5).u16(0).bytes});
    RecordParser::MaterialRecord record;
    std::string const out = rejectedWith([&] {
        return RecordParser::ParseMaterialRecord(bytes.data(), bytes.size(), someCounts(), record,
                                                 where);
    });
    EXPECT_EQ(out, "FATAL Corrupt test record 7 in dir/models.vlp: material part 1 has unknown "
                   "type 5\n");
}

TEST(RecordParserMaterial, RejectsShaderAndTextureIdsOutsideTheDictionaries) {
    Bytes const badShader = TestAssets::materialRecord(2, {});
    RecordParser::MaterialRecord record;
    std::string out = rejectedWith([&] {
        return RecordParser::ParseMaterialRecord(badShader.data(), badShader.size(), someCounts(),
                                                 record, where);
    });
    EXPECT_NE(out.find("shader 2 does not exist (2 in the dictionary)"), std::string::npos) << out;
    Bytes const badTexture = TestAssets::materialRecord(0, {TestAssets::texturePart(3, 3)});
    out = rejectedWith([&] {
        return RecordParser::ParseMaterialRecord(badTexture.data(), badTexture.size(), someCounts(),
                                                 record, where);
    });
    EXPECT_NE(out.find("texture 3 does not exist (3 in the dictionary)"), std::string::npos) << out;
}

TEST(RecordParserMaterial, RejectsTruncatedRecords) {
    Bytes const bytes = TestAssets::materialRecord(
        1, {TestAssets::diffuseColorPart(0.5f, 0.25f, 1.0f, 2.0f),
            TestAssets::specularColorPart(1.0f, 0.0f, 0.5f, 64), TestAssets::texturePart(2, 0)});
    everyPrefixIsRejected(bytes, [](Bytes const& b) {
        RecordParser::MaterialRecord record;
        return RecordParser::ParseMaterialRecord(b.data(), b.size(), someCounts(), record, where);
    });
}

TEST(RecordParserGeometry, ReadsBaseVertices) {
    Bytes const bytes = TestAssets::geometryRecord(
        0, {TestAssets::numberedVertex(1), TestAssets::numberedVertex(100)}, {1, 0, 1});
    ASSERT_EQ(bytes.size(), 1u + 4 + 2 * 40 + 4 + 3 * 4);
    RecordParser::GeometryRecord record;
    ASSERT_TRUE(RecordParser::ParseGeometryRecord(bytes.data(), bytes.size(), record, where));
    EXPECT_EQ(record.format, 0);
    ASSERT_EQ(record.baseVertices.size(), 2u);
    EXPECT_TRUE(record.uvVertices.empty());
    Engine::Util::BaseVertex const& v = record.baseVertices[1];
    EXPECT_EQ(v.position, Engine::Math::Vec4f(100, 101, 102, 103));
    EXPECT_EQ(v.normal, Engine::Math::Vec3f(104, 105, 106));
    EXPECT_EQ(v.smoothNormal, Engine::Math::Vec3f(107, 108, 109));
    EXPECT_EQ(record.indices, (std::vector<unsigned int>{1, 0, 1}));
}

TEST(RecordParserGeometry, FormatsOneAndTwoBothReadUVVertices) {
    for (unsigned int format : {1u, 2u}) {
        Bytes const bytes =
            TestAssets::geometryRecord(format, {TestAssets::numberedVertex(10)}, {0, 0, 0});
        ASSERT_EQ(bytes.size(), 1u + 4 + 88 + 4 + 12);
        RecordParser::GeometryRecord record;
        ASSERT_TRUE(RecordParser::ParseGeometryRecord(bytes.data(), bytes.size(), record, where));
        EXPECT_EQ(record.format, format);
        ASSERT_EQ(record.uvVertices.size(), 1u);
        Engine::Util::UVVertex const& v = record.uvVertices[0];
        EXPECT_EQ(v.position, Engine::Math::Vec4f(10, 11, 12, 13));
        EXPECT_EQ(v.smoothNormal, Engine::Math::Vec3f(17, 18, 19));
        EXPECT_EQ(v.texCoord0, Engine::Math::Vec2f(20, 21));
        EXPECT_EQ(v.tangent0, Engine::Math::Vec4f(22, 23, 24, 25));
        EXPECT_EQ(v.texCoord1, Engine::Math::Vec2f(26, 27));
        EXPECT_EQ(v.tangent1, Engine::Math::Vec4f(28, 29, 30, 31));
    }
}

TEST(RecordParserGeometry, RejectsUnknownVertexFormats) {
    Bytes const bytes = TestAssets::geometryRecord(3, {}, {});
    RecordParser::GeometryRecord record;
    std::string const out = rejectedWith([&] {
        return RecordParser::ParseGeometryRecord(bytes.data(), bytes.size(), record, where);
    });
    EXPECT_EQ(out, "FATAL Corrupt test record 7 in dir/models.vlp: vertex format 3 is not 0, 1 or "
                   "2\n");
}

TEST(RecordParserGeometry, RejectsIndicesPastTheVertices) {
    Bytes const bytes = TestAssets::geometryRecord(0, {TestAssets::numberedVertex(1)}, {0, 1, 0});
    RecordParser::GeometryRecord record;
    std::string const out = rejectedWith([&] {
        return RecordParser::ParseGeometryRecord(bytes.data(), bytes.size(), record, where);
    });
    EXPECT_NE(out.find("index 1 is 1, but there are only 1 vertices"), std::string::npos) << out;
}

TEST(RecordParserGeometry, RejectsCountsLargerThanTheRecordBeforeAllocating) {
    Bytes const bytes = TestAssets::Writer().u8(1).u32(0xFFFFFFFFu).u32(0).bytes;
    RecordParser::GeometryRecord record;
    std::string const out = rejectedWith([&] {
        return RecordParser::ParseGeometryRecord(bytes.data(), bytes.size(), record, where);
    });
    EXPECT_NE(out.find("the vertices (4294967295 x 88 bytes) run past the end of the record"),
              std::string::npos)
        << out;
    EXPECT_TRUE(record.uvVertices.empty());
}

TEST(RecordParserGeometry, RejectsTruncatedRecords) {
    Bytes const bytes = TestAssets::geometryRecord(1, {TestAssets::numberedVertex(1)}, {0, 0, 0});
    everyPrefixIsRejected(bytes, [](Bytes const& b) {
        RecordParser::GeometryRecord record;
        return RecordParser::ParseGeometryRecord(b.data(), b.size(), record, where);
    });
}

TEST(RecordParserPath, ReadsTimedPoints) {
    Bytes const bytes = TestAssets::pathRecord({{0.0f, 1, 2, 3}, {2.5f, 4, 5, 6}});
    RecordParser::PathRecord record;
    ASSERT_TRUE(RecordParser::ParsePathRecord(bytes.data(), bytes.size(), record, where));
    ASSERT_EQ(record.points.size(), 2u);
    EXPECT_EQ(record.points[1].time, 2.5f);
    EXPECT_EQ(record.points[1].point, Engine::Math::Vec3f(4, 5, 6));
}

TEST(RecordParserPath, AcceptsAnEmptyPathAndAtMost255Points) {
    Bytes const empty = TestAssets::pathRecord({});
    RecordParser::PathRecord record;
    EXPECT_TRUE(RecordParser::ParsePathRecord(empty.data(), empty.size(), record, where));
    EXPECT_TRUE(record.points.empty());

    std::vector<TestAssets::PathPoint> points(255, {0, 0, 0, 0});
    Bytes const full = TestAssets::pathRecord(points);
    EXPECT_TRUE(RecordParser::ParsePathRecord(full.data(), full.size(), record, where));
    EXPECT_EQ(record.points.size(), 255u);

    points.push_back({0, 0, 0, 0});
    Bytes const tooLong = TestAssets::pathRecord(points);
    std::string const out = rejectedWith([&] {
        return RecordParser::ParsePathRecord(tooLong.data(), tooLong.size(), record, where);
    });
    EXPECT_EQ(out, "FATAL Corrupt test record 7 in dir/models.vlp: the path has 256 points, at "
                   "most 255 are allowed\n");
}

TEST(RecordParserPath, RejectsTruncatedRecords) {
    everyPrefixIsRejected(TestAssets::pathRecord({{0.0f, 1, 2, 3}}), [](Bytes const& b) {
        RecordParser::PathRecord record;
        return RecordParser::ParsePathRecord(b.data(), b.size(), record, where);
    });
}

TEST(RecordParserModel, ReadsEveryComponentKind) {
    Bytes const bytes = fullModel();
    RecordParser::ModelRecord record;
    ASSERT_TRUE(
        RecordParser::ParseModelRecord(bytes.data(), bytes.size(), someCounts(), record, where));
    ASSERT_EQ(record.components.size(), 8u);
    std::vector<unsigned short> types;
    for (auto const& c : record.components) {
        types.push_back(c.type);
    }
    EXPECT_EQ(types, (std::vector<unsigned short>{1, 2, 3, 4, 5, 6, 7, 42}));

    RecordParser::MeshRecord const& mesh = record.components[1].mesh;
    EXPECT_FALSE(mesh.group);
    EXPECT_EQ(mesh.geometryId, 1);
    EXPECT_EQ(mesh.materialId, 2);
    EXPECT_EQ(mesh.boxMin, Engine::Math::Vec3f(-1, -2, -3));
    EXPECT_EQ(mesh.boxMax, Engine::Math::Vec3f(1, 2, 3));
    EXPECT_EQ(mesh.mapping.at(UVMAP_DIFFUSE), 1);
    EXPECT_EQ(mesh.mapping.at(UVMAP_NORMAL), 0);
    EXPECT_EQ(mesh.mapping.count(UVMAP_DISPLACEMENT), 0u);
    ASSERT_EQ(mesh.children.size(), 1u);
    EXPECT_TRUE(mesh.children[0].group);
    EXPECT_TRUE(mesh.children[0].children.empty());

    auto const& lights = record.components[4].lights;
    ASSERT_EQ(lights.size(), 3u);
    EXPECT_EQ(lights[0].kind, 0);
    EXPECT_EQ(lights[0].intensity, Engine::Math::Vec3f(2, 2, 2));
    EXPECT_TRUE(lights[0].specularOn);
    EXPECT_EQ(lights[0].location, Engine::Math::Vec4f(1, 2, 3, 1));
    EXPECT_EQ(lights[0].attenuation, Engine::Math::Vec3f(1.0f, 0.5f, 0.25f));
    EXPECT_FALSE(lights[0].castsShadow);
    EXPECT_EQ(lights[1].kind, 1);
    EXPECT_EQ(lights[1].direction, Engine::Math::Vec3f(0, -1, 0));
    EXPECT_EQ(lights[1].angle, 20.0f);
    EXPECT_EQ(lights[1].exponent, 4.0f);
    EXPECT_TRUE(lights[1].castsShadow);
    EXPECT_EQ(lights[2].kind, 9);

    EXPECT_EQ(record.components[5].firstPathId, 1);
    EXPECT_EQ(record.components[5].secondPathId, 0);
    EXPECT_EQ(record.components[6].materialId, 3);
    EXPECT_EQ(record.components[6].geometryId, 4);
}

TEST(RecordParserModel, LightRecordsHaveTheirFixedSizes) {
    float const location[4] = {0, 0, 0, 1};
    float const direction[3] = {0, 0, 1};
    EXPECT_EQ(TestAssets::pointLight(1, false, location, false).size(), Format::POINT_LIGHT_SIZE);
    EXPECT_EQ(TestAssets::spotLight(1, false, location, direction, 1, 1, false).size(),
              Format::SPOT_LIGHT_SIZE);
}

TEST(RecordParserModel, ARepeatedMappingKeyKeepsTheLastChannel) {
    Bytes const bytes =
        TestAssets::modelRecord({TestAssets::component(2, simpleMesh(0, 0, {{2, 1}, {2, 0}}))});
    RecordParser::ModelRecord record;
    ASSERT_TRUE(
        RecordParser::ParseModelRecord(bytes.data(), bytes.size(), someCounts(), record, where));
    EXPECT_EQ(record.components[0].mesh.mapping.at(UVMAP_DISPLACEMENT), 0);
}

TEST(RecordParserModel, RejectsBadMappings) {
    RecordParser::ModelRecord record;
    Bytes const badKey =
        TestAssets::modelRecord({TestAssets::component(2, simpleMesh(0, 0, {{3, 0}}))});
    std::string out = rejectedWith([&] {
        return RecordParser::ParseModelRecord(badKey.data(), badKey.size(), someCounts(), record,
                                              where);
    });
    EXPECT_NE(out.find("UV mapping key 3 is not 0, 1 or 2"), std::string::npos) << out;
    Bytes const badChannel =
        TestAssets::modelRecord({TestAssets::component(2, simpleMesh(0, 0, {{0, 2}}))});
    out = rejectedWith([&] {
        return RecordParser::ParseModelRecord(badChannel.data(), badChannel.size(), someCounts(),
                                              record, where);
    });
    EXPECT_NE(out.find("UV mapping channel 2 is not 0 or 1"), std::string::npos) << out;
}

TEST(RecordParserModel, RejectsIdsOutsideTheDictionaries) {
    struct Case {
        Bytes record;
        char const* message;
    };
    Case const cases[] = {
        {TestAssets::modelRecord({TestAssets::component(2, simpleMesh(5, 0))}),
         "geometry 5 does not exist (5 in the dictionary)"},
        {TestAssets::modelRecord({TestAssets::component(2, simpleMesh(0, 4))}),
         "material 4 does not exist (4 in the dictionary)"},
        {TestAssets::modelRecord(
             {TestAssets::component(6, TestAssets::Writer().u16(0).u16(2).bytes)}),
         "path 2 does not exist (2 in the dictionary)"},
        {TestAssets::modelRecord(
             {TestAssets::component(7, TestAssets::Writer().u16(4).u16(0).bytes)}),
         "material 4 does not exist"},
        {TestAssets::modelRecord(
             {TestAssets::component(7, TestAssets::Writer().u16(0).u16(5).bytes)}),
         "geometry 5 does not exist"},
    };
    for (Case const& c : cases) {
        RecordParser::ModelRecord record;
        std::string const out = rejectedWith([&] {
            return RecordParser::ParseModelRecord(c.record.data(), c.record.size(), someCounts(),
                                                  record, where);
        });
        EXPECT_NE(out.find(c.message), std::string::npos) << out;
    }
}

TEST(RecordParserModel, RejectsComponentLengthsThatDisagreeWithTheData) {
    Bytes mesh = simpleMesh(0, 0);
    // The declared length counts one byte more than the mesh record takes.
    Bytes data = mesh;
    data.push_back(0);
    Bytes const bytes = TestAssets::modelRecord({TestAssets::component(2, data)});
    RecordParser::ModelRecord record;
    std::string const out = rejectedWith([&] {
        return RecordParser::ParseModelRecord(bytes.data(), bytes.size(), someCounts(), record,
                                              where);
    });
    EXPECT_NE(out.find("component of type 2 declares " + std::to_string(data.size()) +
                       " bytes of data but its structure takes " + std::to_string(mesh.size())),
              std::string::npos)
        << out;
}

TEST(RecordParserModel, RejectsHierarchiesDeeperThanTheLimit) {
    auto nested = [](unsigned int depth) {
        Bytes node = TestAssets::groupNode({});
        for (unsigned int i = 1; i < depth; ++i) {
            node = TestAssets::groupNode({node});
        }
        return TestAssets::modelRecord({TestAssets::component(2, node)});
    };
    RecordParser::ModelRecord record;
    Bytes const deepest = nested(Format::MAX_MESH_DEPTH);
    EXPECT_TRUE(RecordParser::ParseModelRecord(deepest.data(), deepest.size(), someCounts(), record,
                                               where));
    Bytes const tooDeep = nested(Format::MAX_MESH_DEPTH + 1);
    std::string const out = rejectedWith([&] {
        return RecordParser::ParseModelRecord(tooDeep.data(), tooDeep.size(), someCounts(), record,
                                              where);
    });
    EXPECT_NE(out.find("mesh hierarchy deeper than 64 levels"), std::string::npos) << out;
}

TEST(RecordParserModel, AnEmptyModelHasNoComponents) {
    Bytes const bytes = TestAssets::modelRecord({});
    RecordParser::ModelRecord record;
    ASSERT_TRUE(
        RecordParser::ParseModelRecord(bytes.data(), bytes.size(), someCounts(), record, where));
    EXPECT_TRUE(record.components.empty());
}

TEST(RecordParserModel, RejectsTruncatedRecords) {
    everyPrefixIsRejected(fullModel(), [](Bytes const& b) {
        RecordParser::ModelRecord record;
        return RecordParser::ParseModelRecord(b.data(), b.size(), someCounts(), record, where);
    });
}
