#include <cstring>
#include <gtest/gtest.h>
#include <vlpc/ByteReader.h>
#include <vlpc/ByteWriter.h>
#include <vlpc/FormatError.h>
#include <vlpc/FormatWriter.h>

using namespace vlpc;

namespace {

using Bytes = std::vector<std::uint8_t>;

std::uint16_t u16At(Bytes const& b, std::size_t at) {
    return static_cast<std::uint16_t>(b.at(at) | (b.at(at + 1) << 8));
}

std::uint32_t u32At(Bytes const& b, std::size_t at) {
    return std::uint32_t(b.at(at)) | (std::uint32_t(b.at(at + 1)) << 8) |
           (std::uint32_t(b.at(at + 2)) << 16) | (std::uint32_t(b.at(at + 3)) << 24);
}

float f32At(Bytes const& b, std::size_t at) {
    std::uint32_t const bits = u32At(b, at);
    float value = 0;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

MeshNode sampleMesh() {
    MeshNode node;
    for (std::size_t i = 0; i < 16; ++i) {
        node.matrix[i] = float(i) + 0.5f;
    }
    node.boundsMin = {-1, -2, -3};
    node.boundsMax = {4, 5, 6};
    node.geometry = 0x0102;
    node.material = 0x0304;
    node.uvMapping = {{0, 1}, {1, 0}};
    return node;
}

} // namespace

TEST(ByteWriter, WritesPackedLittleEndianValues) {
    ByteWriter out;
    out.u8(0xAB);
    out.u16(0x1234);
    out.u32(0xDEADBEEF);
    out.f32(1.0f);
    EXPECT_EQ(out.data(),
              (Bytes{0xAB, 0x34, 0x12, 0xEF, 0xBE, 0xAD, 0xDE, 0x00, 0x00, 0x80, 0x3F}));
    out.patchU16(1, 0xBEEF);
    out.patchU32(3, 7);
    EXPECT_EQ(u16At(out.data(), 1), 0xBEEF);
    EXPECT_EQ(u32At(out.data(), 3), 7u);
}

TEST(ByteReader, ReadsWhatTheWriterWrote) {
    ByteWriter out;
    out.u8(9);
    out.u16(0xFFFE);
    out.u32(123456789);
    out.f32(-2.5f);
    Bytes const bytes = out.take();
    ByteReader in(bytes.data(), bytes.size());
    EXPECT_EQ(in.u8("a"), 9);
    EXPECT_EQ(in.u16("b"), 0xFFFE);
    EXPECT_EQ(in.u32("c"), 123456789u);
    EXPECT_EQ(in.f32("d"), -2.5f);
    EXPECT_TRUE(in.atEnd());
}

TEST(ByteReader, ReadPastTheEndNamesOffsetAndField) {
    Bytes const bytes{1, 2, 3};
    ByteReader in(bytes.data(), bytes.size(), 100);
    in.u16("the count");
    try {
        in.u16("the version");
        FAIL() << "no error";
    } catch (FormatError const& e) {
        EXPECT_STREQ(e.what(), "offset 102: the version needs 2 bytes, but only 1 are left");
    }
    EXPECT_EQ(in.fileOffset(), 102u);
}

TEST(ByteReader, SubReaderStaysInsideItsRange) {
    Bytes const bytes{1, 2, 3, 4, 5};
    ByteReader in(bytes.data(), bytes.size());
    ByteReader part = in.sub(2, "part");
    EXPECT_EQ(part.u16("x"), 0x0201);
    EXPECT_THROW(part.u8("y"), FormatError);
    EXPECT_EQ(in.u8("z"), 3);
    EXPECT_THROW(in.sub(3, "too long"), FormatError);
}

TEST(FormatWriter, ShaderFileLayout) {
    ShaderFile file;
    ShaderRecord shader;
    shader.stages[0] = "ab";
    shader.stages[4] = "c";
    file.shaders = {shader, ShaderRecord{}};
    Bytes const bytes = writeShaderFile(file);

    EXPECT_EQ(u16At(bytes, 0), 1); // version
    EXPECT_EQ(u16At(bytes, 2), 2); // count
    std::size_t const first = 4 + 2 * 10;
    EXPECT_EQ(u16At(bytes, 4), 0); // id
    EXPECT_EQ(u32At(bytes, 6), first);
    // Texts are zero-terminated and the lengths count the zero: 2+3, 2, 2, 2, 2+2.
    EXPECT_EQ(u32At(bytes, 10), 15u);
    EXPECT_EQ(u16At(bytes, 14), 1);
    EXPECT_EQ(u32At(bytes, 16), first + 15);
    EXPECT_EQ(u32At(bytes, 20), 10u); // five empty texts
    Bytes const record(bytes.begin() + first, bytes.begin() + first + 15);
    EXPECT_EQ(record, (Bytes{3, 0, 'a', 'b', 0, 0, 0, 0, 0, 0, 0, 2, 0, 'c', 0}));
    EXPECT_EQ(bytes.size(), first + 15 + 10);
}

TEST(FormatWriter, ShaderTextLimits) {
    ShaderRecord record;
    record.stages[0] = std::string(65534, 'x'); // plus its zero: the largest u16
    EXPECT_EQ(encodeShaderRecord(record).size(), 2 + 65535 + 8u);
    record.stages[0] += 'x';
    EXPECT_THROW(encodeShaderRecord(record), FormatError);
    record.stages[0] = std::string("a\0b", 3);
    EXPECT_THROW(encodeShaderRecord(record), FormatError);
}

TEST(FormatWriter, TextureFileHasNoVersionAndAbsoluteOffsets) {
    TextureFile file;
    file.textures = {TextureRecord{{1, 2, 3}}, TextureRecord{{4, 5}}};
    Bytes const bytes = writeTextureFile(file);
    EXPECT_EQ(u16At(bytes, 0), 2);
    std::size_t const first = 2 + 20;
    EXPECT_EQ(u32At(bytes, 4), first);
    EXPECT_EQ(u32At(bytes, 8), 3u);
    EXPECT_EQ(u16At(bytes, 12), 1);
    EXPECT_EQ(u32At(bytes, 14), first + 3);
    EXPECT_EQ(u32At(bytes, 18), 2u);
    EXPECT_EQ(Bytes(bytes.begin() + first, bytes.end()), (Bytes{1, 2, 3, 4, 5}));
}

TEST(FormatWriter, ModelFileHasThreeDictionariesBackToBack) {
    ModelFile file;
    file.materials.resize(2);
    file.geometries.resize(1);
    file.models.resize(3);
    Bytes const bytes = writeModelFile(file);
    EXPECT_EQ(u16At(bytes, 0), 4); // version
    EXPECT_EQ(u16At(bytes, 2), 2); // materials
    std::size_t const geometryCount = 4 + 2 * 10;
    EXPECT_EQ(u16At(bytes, geometryCount), 1);
    std::size_t const modelCount = geometryCount + 2 + 10;
    EXPECT_EQ(u16At(bytes, modelCount), 3);
    std::size_t const payload = modelCount + 2 + 3 * 10;
    // Material 0 is the first payload: u16 shader, u8 part count.
    EXPECT_EQ(u32At(bytes, 6), payload);
    EXPECT_EQ(u32At(bytes, 10), 3u);
    // Geometry 0 follows both materials: format, vertex count, index count.
    EXPECT_EQ(u32At(bytes, geometryCount + 4), payload + 6);
    EXPECT_EQ(u32At(bytes, geometryCount + 8), 9u);
    // Models are two bytes each (component count 0), ids in order.
    for (std::size_t id = 0; id < 3; ++id) {
        std::size_t const entry = modelCount + 2 + id * 10;
        EXPECT_EQ(u16At(bytes, entry), id);
        EXPECT_EQ(u32At(bytes, entry + 2), payload + 6 + 9 + 2 * id);
        EXPECT_EQ(u32At(bytes, entry + 6), 2u);
    }
    EXPECT_EQ(bytes.size(), payload + 6 + 9 + 6);
}

TEST(FormatWriter, MaterialRecordLayout) {
    MaterialRecord material;
    material.shader = 2;
    MaterialPart diffuse;
    diffuse.type = 0;
    diffuse.color = {1, 0.5f, 0.25f};
    diffuse.emit = 3;
    MaterialPart specular;
    specular.type = 1;
    specular.color = {0, 1, 0};
    specular.shininess = 77;
    MaterialPart normal;
    normal.type = 3;
    normal.texture = 5;
    material.parts = {diffuse, specular, normal};
    Bytes const b = encodeMaterialRecord(material);
    ASSERT_EQ(b.size(), 3 + 18 + 18 + 4u);
    EXPECT_EQ(u16At(b, 0), 2);
    EXPECT_EQ(b[2], 3);
    EXPECT_EQ(u16At(b, 3), 0);
    EXPECT_EQ(f32At(b, 5), 1.0f);
    EXPECT_EQ(f32At(b, 9), 0.5f);
    EXPECT_EQ(f32At(b, 13), 0.25f);
    EXPECT_EQ(f32At(b, 17), 3.0f);
    EXPECT_EQ(u16At(b, 21), 1);
    EXPECT_EQ(f32At(b, 27), 1.0f);
    EXPECT_EQ(u32At(b, 35), 77u);
    EXPECT_EQ(u16At(b, 39), 3);
    EXPECT_EQ(u16At(b, 41), 5);
}

TEST(FormatWriter, MaterialPartTypeAndCountAreChecked) {
    MaterialRecord material;
    MaterialPart part;
    part.type = 5;
    material.parts = {part};
    EXPECT_THROW(encodeMaterialRecord(material), FormatError);
    material.parts.assign(256, MaterialPart{});
    EXPECT_THROW(encodeMaterialRecord(material), FormatError);
    material.parts.resize(255);
    EXPECT_EQ(encodeMaterialRecord(material).size(), 3 + 255 * 18u);
}

TEST(FormatWriter, GeometryRecordLayouts) {
    GeometryRecord geometry;
    geometry.format = 0;
    Vertex v;
    v.position = {1, 2, 3, 1};
    v.normal = {0, 0, 1};
    v.smoothNormal = {0, 1, 0};
    v.uv[0] = {0.5f, 0.25f};
    v.tangent[1] = {0, 1, 0, -1};
    geometry.vertices = {v, v, v};
    geometry.indices = {0, 1, 2};
    Bytes const base = encodeGeometryRecord(geometry);
    ASSERT_EQ(base.size(), 5 + 3 * 40 + 4 + 12u);
    EXPECT_EQ(base[0], 0);
    EXPECT_EQ(u32At(base, 1), 3u);
    EXPECT_EQ(f32At(base, 5 + 8), 3.0f);  // position z
    EXPECT_EQ(f32At(base, 5 + 24), 1.0f); // normal z
    EXPECT_EQ(f32At(base, 5 + 32), 1.0f); // smooth normal y
    EXPECT_EQ(u32At(base, 5 + 120), 3u);  // index count
    EXPECT_EQ(u32At(base, 5 + 120 + 4 + 8), 2u);

    geometry.format = 2;
    Bytes const uv = encodeGeometryRecord(geometry);
    ASSERT_EQ(uv.size(), 5 + 3 * 88 + 4 + 12u);
    std::size_t const second = 5 + 88;       // the second vertex
    EXPECT_EQ(f32At(uv, second + 40), 0.5f); // channel 0 coordinate
    EXPECT_EQ(f32At(uv, second + 44), 0.25f);
    EXPECT_EQ(f32At(uv, second + 60), 1.0f);  // channel 0 tangent w (default)
    EXPECT_EQ(f32At(uv, second + 76), 1.0f);  // channel 1 tangent y
    EXPECT_EQ(f32At(uv, second + 84), -1.0f); // channel 1 tangent w

    geometry.format = 3;
    EXPECT_THROW(encodeGeometryRecord(geometry), FormatError);
}

TEST(FormatWriter, MeshRecordFieldOffsets) {
    MeshNode node = sampleMesh();
    MeshNode group;
    group.group = 1;
    node.children = {group};
    ByteWriter out;
    encodeMeshNode(out, node);
    Bytes const& b = out.data();
    ASSERT_EQ(b.size(), 94 + 4 + 2 + 3u);
    EXPECT_EQ(b[0], 0);
    EXPECT_EQ(f32At(b, 1), 0.5f);
    EXPECT_EQ(f32At(b, 61), 15.5f);
    EXPECT_EQ(f32At(b, 65), -1.0f);
    EXPECT_EQ(f32At(b, 73), -3.0f);
    EXPECT_EQ(f32At(b, 77), 4.0f);
    EXPECT_EQ(f32At(b, 85), 6.0f);
    EXPECT_EQ(u16At(b, 89), 0x0102);
    EXPECT_EQ(u16At(b, 91), 0x0304);
    EXPECT_EQ(b[93], 2);
    EXPECT_EQ((Bytes{b[94], b[95], b[96], b[97]}), (Bytes{0, 1, 1, 0}));
    EXPECT_EQ(u16At(b, 98), 1);
    // The group child: flag, then its child count directly.
    EXPECT_EQ(b[100], 1);
    EXPECT_EQ(u16At(b, 101), 0);
}

TEST(FormatWriter, LightRecordFieldOffsets) {
    LightRecord point;
    point.kind = 0;
    point.intensity = {1, 2, 3};
    point.specular = 1;
    point.location = {4, 5, 6, 7};
    point.attenuation = {8, 9, 10};
    point.castsShadow = 1;
    ByteWriter p;
    encodeLight(p, point);
    Bytes const& a = p.data();
    ASSERT_EQ(a.size(), 44u);
    EXPECT_EQ(f32At(a, 2), 1.0f);
    EXPECT_EQ(a[14], 1);
    EXPECT_EQ(f32At(a, 15), 4.0f);
    EXPECT_EQ(f32At(a, 27), 7.0f);
    EXPECT_EQ(f32At(a, 31), 8.0f);
    EXPECT_EQ(a[43], 1);

    LightRecord spot = point;
    spot.kind = 1;
    spot.direction = {0, -1, 0};
    spot.coneAngle = 20;
    spot.exponent = 50;
    ByteWriter s;
    encodeLight(s, spot);
    Bytes const& b = s.data();
    ASSERT_EQ(b.size(), 64u);
    EXPECT_EQ(u16At(b, 0), 1);
    EXPECT_EQ(f32At(b, 35), -1.0f);
    EXPECT_EQ(f32At(b, 43), 20.0f);
    EXPECT_EQ(f32At(b, 47), 50.0f);
    EXPECT_EQ(f32At(b, 51), 8.0f);
    EXPECT_EQ(b[63], 1);

    LightRecord other;
    other.kind = 9;
    ByteWriter o;
    encodeLight(o, other);
    EXPECT_EQ(o.data(), (Bytes{9, 0}));
}

TEST(FormatWriter, ComponentLengthIsTheLengthOfItsData) {
    ModelRecord model;
    ComponentRecord position;
    position.type = 1;
    ComponentRecord mesh;
    mesh.type = 2;
    mesh.mesh = sampleMesh();
    ComponentRecord lights;
    lights.type = 5;
    lights.lights.resize(2);
    lights.lights[1].kind = 1;
    ComponentRecord path;
    path.type = 6;
    path.positionPath = 3;
    path.lookAtPath = 4;
    ComponentRecord bsp;
    bsp.type = 7;
    bsp.material = 1;
    bsp.geometry = 2;
    model.components = {position, mesh, lights, path, bsp};
    Bytes const b = encodeModelRecord(model);
    EXPECT_EQ(u16At(b, 0), 5);
    std::size_t at = 2;
    std::vector<std::pair<std::uint16_t, std::uint16_t>> const expected = {
        {1, 0}, {2, 94 + 4 + 2}, {5, 2 + 44 + 64}, {6, 4}, {7, 4}};
    for (auto const& [type, length] : expected) {
        EXPECT_EQ(u16At(b, at), type);
        EXPECT_EQ(u16At(b, at + 2), length);
        at += 4 + length;
    }
    EXPECT_EQ(at, b.size());
    EXPECT_EQ(u16At(b, b.size() - 12), 3); // position path id
    EXPECT_EQ(u16At(b, b.size() - 2), 2);  // BSP geometry id
}

TEST(FormatWriter, ComponentDataAbove65535BytesIsRefused) {
    ComponentRecord mesh;
    mesh.type = 2;
    mesh.mesh.group = 1;
    MeshNode child = sampleMesh();
    mesh.mesh.children.assign(700, child); // 700 x 100 bytes
    ModelRecord model;
    model.components = {mesh};
    EXPECT_THROW(encodeModelRecord(model), FormatError);
}

TEST(FormatWriter, PathRecordLayoutAndLimit) {
    PathRecord path;
    path.points = {{0.5f, {1, 2, 3}}, {1.5f, {4, 5, 6}}};
    Bytes const b = encodePathRecord(path);
    ASSERT_EQ(b.size(), 2 + 32u);
    EXPECT_EQ(u16At(b, 0), 2);
    EXPECT_EQ(f32At(b, 2), 0.5f);
    EXPECT_EQ(f32At(b, 6), 1.0f);
    EXPECT_EQ(f32At(b, 18), 1.5f);
    EXPECT_EQ(f32At(b, 30), 6.0f);
    path.points.resize(256);
    EXPECT_THROW(encodePathRecord(path), FormatError);
}

TEST(FormatWriter, EmptyFilesHoldOnlyTheirHeaders) {
    EXPECT_EQ(writeShaderFile({}), (Bytes{1, 0, 0, 0}));
    EXPECT_EQ(writeTextureFile({}), (Bytes{0, 0}));
    EXPECT_EQ(writeModelFile({}), (Bytes{4, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(writePathFile({}), (Bytes{0, 0}));
}
