#include "ToolsTestSupport.h"

#include <Viewer/SceneCompiler.h>
#include <Viewer/TextureImage.h>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <sstream>
// jpeglib.h needs FILE and size_t declared first.
#include <jpeglib.h>

// Compiling model files for the viewer: the file's materials on the material
// library, textures converted to PNG, the cache, what cannot be shown, and
// files that cannot be read.
namespace {

namespace fs = std::filesystem;
using nlohmann::json;
using Viewer::CompiledScene;
using Viewer::CompileError;
using Viewer::SceneCompiler;
using Viewer::TextureImage;

// A baseline JPEG of a horizontal grey ramp.
std::vector<std::uint8_t> makeJpeg(unsigned width, unsigned height) {
    jpeg_compress_struct info;
    jpeg_error_mgr error;
    info.err = jpeg_std_error(&error);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = width;
    info.image_height = height;
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_start_compress(&info, TRUE);
    std::vector<unsigned char> row(width * 3);
    for (unsigned x = 0; x < width; ++x) {
        std::fill_n(&row[x * 3], 3, static_cast<unsigned char>(x * 255 / (width - 1)));
    }
    while (info.next_scanline < height) {
        JSAMPROW rows[] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::vector<std::uint8_t> bytes(buffer, buffer + size);
    std::free(buffer);
    return bytes;
}

std::string sampleModel(std::string const& relative) {
    return std::string(ASSIMP_TEST_MODELS) + "/" + relative;
}

// Three quads side by side along x, one per material.
const char* const ThreeQuadsObj = "mtllib scene.mtl\n"
                                  "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\n"
                                  "v 2 0 0\nv 3 0 0\nv 3 1 0\nv 2 1 0\n"
                                  "v 4 0 0\nv 5 0 0\nv 5 2 0\nv 4 2 0\n"
                                  "vt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\nvn 0 0 1\n"
                                  "usemtl Painted\nf 1/1/1 2/2/1 3/3/1 4/4/1\n"
                                  "usemtl Glow\nf 5/1/1 6/2/1 7/3/1 8/4/1\n"
                                  "usemtl Missing\nf 9/1/1 10/2/1 11/3/1 12/4/1\n";

const char* const ThreeQuadsMtl = "newmtl Painted\nKd 0.8 0.2 0.1\nKs 0.5 0.5 0.5\nNs 40\n"
                                  "map_Kd tex\\base.jpg\nnorm tex/normal.png\n"
                                  "newmtl Glow\nKd 0 0 0\nKe 2 1.5 0.5\n"
                                  "newmtl Missing\nKd 1 1 1\nmap_Kd nothere.png\n";

class SceneCompilerTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir.write("scene.obj", ThreeQuadsObj);
        dir.write("scene.mtl", ThreeQuadsMtl);
        dir.write("tex/base.jpg", makeJpeg(16, 8));
        dir.write("tex/normal.png", ToolsTest::makePng(4, 2, true));
    }

    CompiledScene compile(std::string const& file) { return compiler.Compile(file); }
    static json manifestOf(CompiledScene const& scene) {
        return json::parse(ToolsTest::readText(scene.directory + "scene.json"));
    }
    // The generated material with this shader; null when there is none.
    static json const* materialWith(json const& manifest, std::string const& shader) {
        for (json const& material : manifest["materials"]) {
            if (material["shader"] == shader) {
                return &material;
            }
        }
        return nullptr;
    }
    static bool hasNote(CompiledScene const& scene, std::string const& part) {
        return std::count_if(scene.notes.begin(), scene.notes.end(), [&](std::string const& n) {
                   return n.find(part) != std::string::npos;
               }) == 1;
    }

    ToolsTest::TempDir dir;
    std::ostringstream progress;
    SceneCompiler compiler{dir.path("cache"), MATERIAL_SHADER_DIR, progress};
};

} // namespace

TEST_F(SceneCompilerTest, MaterialsMapOntoTheLibraryAndTexturesBecomePng) {
    CompiledScene const scene = compile(dir.path("scene.obj"));
    EXPECT_FALSE(scene.fromCache);
    EXPECT_EQ(scene.boundsMin, (std::array<float, 3>{0, 0, 0}));
    EXPECT_EQ(scene.boundsMax, (std::array<float, 3>{5, 2, 0}));
    json const manifest = manifestOf(scene);

    // Base colour, Phong specular, a JPEG colour texture (named with a
    // backslash) and a PNG normal map: the normal-map shader.
    json const* painted = materialWith(manifest, "normalMap");
    ASSERT_NE(painted, nullptr) << manifest.dump(2);
    json const& parts = (*painted)["parts"];
    ASSERT_EQ(parts.size(), 4u);
    EXPECT_NEAR(parts[0]["color"][1].get<float>(), 0.2f, 1e-5f);
    EXPECT_EQ(parts[0]["emit"].get<float>(), 0.0f);
    EXPECT_NEAR(parts[1]["color"][0].get<float>(), 0.5f, 1e-5f);
    EXPECT_EQ(parts[1]["shininess"], 40);
    EXPECT_EQ(parts[2]["type"], "diffuseTexture");
    EXPECT_EQ(parts[3]["type"], "normalTexture");

    // Both textures were converted to RGB PNG files of their own size.
    ASSERT_EQ(manifest["textures"].size(), 2u);
    std::vector<std::pair<unsigned, unsigned>> sizes;
    for (json const& texture : manifest["textures"]) {
        std::vector<std::uint8_t> const bytes =
            ToolsTest::readBytes(scene.directory + texture["file"].get<std::string>());
        TextureImage image;
        std::string error;
        ASSERT_TRUE(image.Decode(bytes.data(), bytes.size(), error)) << error;
        sizes.emplace_back(image.Width(), image.Height());
    }
    std::sort(sizes.begin(), sizes.end());
    EXPECT_EQ(sizes, (std::vector<std::pair<unsigned, unsigned>>{{4, 2}, {16, 8}}));

    // A black surface that glows takes its emission colour, scaled into the
    // library's emit factor; the material whose texture is missing keeps its
    // colour, without the texture, and says so once.
    int glowing = 0;
    for (json const& material : manifest["materials"]) {
        json const& diffuse = material["parts"][0];
        if (diffuse["emit"].get<float>() > 0.0f) {
            ++glowing;
            EXPECT_EQ(material["shader"], "color");
            EXPECT_EQ(diffuse["color"][0].get<float>(), 1.0f);
            EXPECT_NEAR(diffuse["color"][2].get<float>(), 0.5f, 1e-5f);
            EXPECT_GT(diffuse["emit"].get<float>(), 1.0f);
        }
    }
    EXPECT_EQ(glowing, 1);
    EXPECT_TRUE(hasNote(scene, "texture 'nothere.png' cannot be used (no such file)"));
    EXPECT_NE(progress.str().find("vlpc: wrote"), std::string::npos) << progress.str();
    for (char const* file : {"shaders.vlp", "textures.vlp", "models.vlp", "path.vlp"}) {
        EXPECT_TRUE(fs::is_regular_file(scene.directory + file)) << file;
    }
}

TEST_F(SceneCompilerTest, CacheIsReusedUntilAnInputChanges) {
    CompiledScene const first = compile(dir.path("scene.obj"));
    CompiledScene const second = compile(dir.path("scene.obj"));
    EXPECT_TRUE(second.fromCache);
    EXPECT_EQ(second.directory, first.directory);
    EXPECT_EQ(second.notes, first.notes);
    EXPECT_EQ(second.boundsMax, first.boundsMax);
    // A file the model reads (its material library, a texture) changes:
    // compiled again, into the same folder, as the model itself is the same.
    dir.write("scene.mtl", std::string(ThreeQuadsMtl) + "# edited\n");
    CompiledScene const edited = compile(dir.path("scene.obj"));
    EXPECT_FALSE(edited.fromCache);
    EXPECT_EQ(edited.directory, first.directory);
    dir.write("tex/normal.png", ToolsTest::makePng(8, 8));
    EXPECT_FALSE(compile(dir.path("scene.obj")).fromCache);
    EXPECT_TRUE(compile(dir.path("scene.obj")).fromCache);
    // A damaged cache folder is compiled anew.
    fs::remove(first.directory + "models.vlp");
    EXPECT_FALSE(compile(dir.path("scene.obj")).fromCache);
    // The same contents under another name share nothing but the result.
    fs::copy_file(dir.path("scene.obj"), dir.path("copy.obj"));
    CompiledScene const copy = compile(dir.path("copy.obj"));
    EXPECT_NE(copy.directory, first.directory);
    EXPECT_EQ(copy.boundsMax, first.boundsMax);
}

TEST_F(SceneCompilerTest, BrokenFilesFailWithTheirNameAndLeaveNoFolder) {
    dir.write("empty.obj", "");
    dir.write("text.gltf", "this is no glTF file\n");
    dir.write("points.obj", "v 0 0 0\nv 1 0 0\np 1 2\n");
    for (std::string const name : {"empty.obj", "text.gltf", "points.obj", "absent.obj"}) {
        SCOPED_TRACE(name);
        try {
            compile(dir.path(name));
            ADD_FAILURE() << "no error";
        } catch (CompileError const& e) {
            EXPECT_NE(std::string(e.what()).find("'" + dir.path(name) + "'"), std::string::npos)
                << e.what();
        }
    }
    std::error_code code;
    EXPECT_TRUE(!fs::exists(dir.path("cache"), code) || fs::is_empty(dir.path("cache")));
}

TEST_F(SceneCompilerTest, SampleModelsSayOnceWhatTheyCannotShow) {
    if (!fs::is_directory(ASSIMP_TEST_MODELS)) {
        GTEST_SKIP() << "assimp-testmodels is not installed";
    }
    struct Case {
        char const* file;
        char const* note;
        std::size_t textures;
    };
    Case const cases[] = {
        {"glTF2/simple_skin/simple_skin.gltf", "skinning is not supported", 0},
        {"glTF2/glTF-Sample-Models/AnimatedMorphCube-glTF/AnimatedMorphCube.gltf",
         "morph targets are not supported", 0},
        // Images embedded as a data URI and in a binary file.
        {"glTF2/BoxTextured-glTF-Embedded/BoxTextured.gltf", "PBR metallic-roughness", 1},
        {"glTF2/BoxTextured-glTF-Binary/BoxTextured.glb", "PBR metallic-roughness", 1},
        // JPEG textures named with backslashes.
        {"OBJ/spider.obj", nullptr, 5},
    };
    for (Case const& c : cases) {
        SCOPED_TRACE(c.file);
        CompiledScene const scene = compile(sampleModel(c.file));
        if (c.note != nullptr) {
            EXPECT_TRUE(hasNote(scene, c.note));
        } else {
            EXPECT_TRUE(scene.notes.empty());
        }
        EXPECT_EQ(manifestOf(scene)["textures"].size(), c.textures);
    }
}

TEST(TextureImageTest, DecodesPngAndJpegAndNamesWhatItCannot) {
    TextureImage image;
    std::string error;
    std::vector<std::uint8_t> const png = ToolsTest::makePng(5, 3, true);
    ASSERT_TRUE(image.Decode(png.data(), png.size(), error)) << error;
    EXPECT_EQ(image.Rgb().size(), 5u * 3u * 3u);
    std::vector<std::uint8_t> const jpeg = makeJpeg(32, 4);
    ASSERT_TRUE(image.Decode(jpeg.data(), jpeg.size(), error)) << error;
    EXPECT_EQ(image.Width(), 32u);
    // The ramp survives the compression within a few levels.
    EXPECT_LT(image.Rgb()[0], 8);
    EXPECT_GT(image.Rgb()[31 * 3], 247);

    std::vector<std::uint8_t> const truncated(jpeg.begin(), jpeg.begin() + 20);
    EXPECT_FALSE(image.Decode(truncated.data(), truncated.size(), error));
    EXPECT_EQ(error.rfind("JPEG: ", 0), 0u) << error;
    std::vector<std::uint8_t> const damagedPng(png.begin(), png.begin() + 30);
    EXPECT_FALSE(image.Decode(damagedPng.data(), damagedPng.size(), error));
    EXPECT_EQ(error.rfind("PNG: ", 0), 0u) << error;
    std::string const gif = "GIF89a....";
    EXPECT_FALSE(
        image.Decode(reinterpret_cast<unsigned char const*>(gif.data()), gif.size(), error));
    EXPECT_EQ(error, "neither PNG nor JPEG");
}
