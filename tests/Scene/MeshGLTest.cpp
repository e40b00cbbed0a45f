#include "Support/GLContext.h"
#include "Support/Output.h"

#include <Engine/Data/MeshData.h>
#include <Engine/Data/TextureData.h>
#include <Engine/Render/Shader/ForwardShader.h>
#include <Engine/Scene/BSPDrawComponent.h>
#include <Engine/Scene/Materials/DiffuseColorPart.h>
#include <Engine/Scene/Materials/Material.h>
#include <Engine/Scene/Materials/SpecularColorPart.h>
#include <Engine/Scene/Materials/TexturePart.h>
#include <Engine/Scene/Mesh.h>
#include <Engine/Scene/PositionComponent.h>
#include <Engine/Scene/SceneObject.h>
#include <GL/glew.h>
#include <array>
#include <cstring>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

using namespace Engine::Scene;
using Engine::Math::Mat4f;
using Engine::Math::Vec3f;
using Engine::Math::Vec4f;
using Engine::Render::Shader::ForwardShader;
using Engine::Render::Shader::Shader;
using Engine::Util::BaseVertex;
using Engine::Util::SharedPointer;

namespace {

constexpr int Size = 32;

// Places vertices with the model and camera matrices and writes the diffuse
// colour, brightened by the emission.
const char* const ColorVertex = R"(#version 330 core
in vec4 vertex;
uniform mat4 matrix;
uniform mat4 cameraMatrix;
void main() { gl_Position = cameraMatrix * matrix * vertex; }
)";
const char* const ColorFragment = R"(#version 330 core
uniform vec3 diffuseColor;
uniform float emit;
uniform vec3 specularColor;
uniform uint shininess;
uniform sampler2D colorTexture;
uniform sampler2D normalTexture;
uniform sampler2D displacementTexture;
out vec4 fragColor;
void main() {
    // The other uniforms only matter beyond any realistic value, so that
    // the compiler keeps them without them changing the colour.
    float others = dot(specularColor, vec3(1.0)) + float(shininess) +
                   texture(colorTexture, vec2(0.0)).r + texture(normalTexture, vec2(0.0)).r +
                   texture(displacementTexture, vec2(0.0)).r;
    fragColor = vec4(diffuseColor * (1.0 + emit), 1.0) - vec4(step(1e30, others));
}
)";

// Writes each vertex's normal as its colour.
const char* const NormalVertex = R"(#version 330 core
in vec4 vertex;
in vec3 normal;
uniform mat4 matrix;
uniform mat4 cameraMatrix;
out vec3 colour;
void main() { gl_Position = cameraMatrix * matrix * vertex; colour = normal; }
)";
const char* const NormalFragment = R"(#version 330 core
in vec3 colour;
out vec4 fragColor;
void main() { fragColor = vec4(colour, 1.0); }
)";

BaseVertex at(float x, float y, float z, Vec3f const& normal = Vec3f(0, 0, 1)) {
    return BaseVertex(Vec4f(x, y, z, 1.0f), normal, normal);
}

// A square from (-0.5, -0.5) to (0.5, 0.5), counter-clockwise.
SharedPointer<MeshData> square() {
    std::array<BaseVertex, 4> vertices{at(-0.5f, -0.5f, 0), at(0.5f, -0.5f, 0), at(0.5f, 0.5f, 0),
                                       at(-0.5f, 0.5f, 0)};
    std::array<unsigned int, 6> indices{0, 1, 2, 0, 2, 3};
    return SharedPointer<MeshData>(new MeshData(vertices.data(), 4, indices.data(), 6));
}

// Renders into an offscreen colour target.
class MeshGLTest : public TestSupport::GLTest {
protected:
    void SetUp() override {
        TestSupport::GLTest::SetUp();
        glGenTextures(1, &target);
        glBindTexture(GL_TEXTURE_2D, target);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, Size, Size, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
        glBindTexture(GL_TEXTURE_2D, 0);
        glGenFramebuffers(1, &framebuffer);
        glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
        glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, target, 0);
        ASSERT_EQ(glCheckFramebufferStatus(GL_FRAMEBUFFER), GLenum(GL_FRAMEBUFFER_COMPLETE));
        glViewport(0, 0, Size, Size);
        glDisable(GL_DEPTH_TEST);
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        Shader::SetCameraMatrix(Mat4f());
    }

    void TearDown() override {
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glDeleteFramebuffers(1, &framebuffer);
        glDeleteTextures(1, &target);
        glEnable(GL_DEPTH_TEST);
        TestSupport::GLTest::TearDown();
    }

    std::array<unsigned char, 4> pixel(int x, int y) const {
        std::array<unsigned char, 4> rgba{};
        glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
        return rgba;
    }

    static GLint currentProgram() {
        GLint program = -1;
        glGetIntegerv(GL_CURRENT_PROGRAM, &program);
        return program;
    }

    GLuint target = 0;
    GLuint framebuffer = 0;
};

using Rgba = std::array<unsigned char, 4>;

} // namespace

TEST_F(MeshGLTest, DrawWithMaterialRendersTheMeshWhereItsMatrixPutsIt) {
    ForwardShader shader(ColorVertex, ColorFragment, true);
    ASSERT_NE(shader.getProgramHandle(), 0);
    auto* material = new Materials::Material(&shader, 1);
    material->Parts()[0] = new Materials::DiffuseColorPart(Vec3f(1, 0, 0));
    Mesh mesh(square(), material, {});
    ASSERT_NE(mesh.VertexArrayObject(), Mesh::NoVertexArray);
    mesh.Matrix(Mat4f::Translate(Vec3f(0.5f, 0, 0)));
    mesh.Update(Mat4f());

    mesh.Draw(true);
    EXPECT_EQ(currentProgram(), 0) << "drawing with the material unbinds the program";
    // The square now covers x in [0, 1] of clip space: the right half, middle rows.
    EXPECT_EQ(pixel(24, 16), (Rgba{255, 0, 0, 255}));
    EXPECT_EQ(pixel(8, 16), (Rgba{0, 0, 0, 255}));
    EXPECT_EQ(pixel(24, 2), (Rgba{0, 0, 0, 255}));
}

TEST_F(MeshGLTest, CameraMatrixComesFromTheLastStoredOne) {
    ForwardShader shader(ColorVertex, ColorFragment, true);
    auto* material = new Materials::Material(&shader, 1);
    material->Parts()[0] = new Materials::DiffuseColorPart(Vec3f(0, 0.5f, 0), 1.0f);
    Mesh mesh(square(), material, {});
    mesh.Update(Mat4f());
    Shader::SetCameraMatrix(Mat4f::Translate(Vec3f(0, -0.5f, 0)));
    mesh.Draw(true);
    // Moved down by a quarter of the view; the emission doubles the colour.
    EXPECT_EQ(pixel(16, 4), (Rgba{0, 255, 0, 255}));
    EXPECT_EQ(pixel(16, 28), (Rgba{0, 0, 0, 255}));
}

TEST_F(MeshGLTest, DrawWithoutMaterialUsesTheCallersProgram) {
    ForwardShader shader(ColorVertex, ColorFragment, true);
    ForwardShader own(ColorVertex, ColorFragment, true);
    auto* material = new Materials::Material(&own, 1);
    material->Parts()[0] = new Materials::DiffuseColorPart(Vec3f(1, 0, 0));
    Mesh mesh(square(), material, {});
    mesh.Update(Mat4f());
    shader.Activate();
    shader.SetMatrix(Mat4f());
    shader.SetDiffuseColor(Vec3f(0, 0, 1));
    mesh.Draw(false);
    EXPECT_EQ(currentProgram(), shader.getProgramHandle()) << "the caller's program stays";
    EXPECT_EQ(pixel(16, 16), (Rgba{0, 0, 255, 255}));
    shader.Deactivate();
}

TEST_F(MeshGLTest, GroupNodeWithMaterialDrawsNothing) {
    ForwardShader shader(ColorVertex, ColorFragment, true);
    Mesh group;
    group.CurrentMaterial(new Materials::Material(&shader, 0));
    group.Meshes().push_back(new Mesh(square(), nullptr, {}));
    group.Draw(true);
    group.Draw(false);
    EXPECT_EQ(pixel(16, 16), (Rgba{0, 0, 0, 255})) << "children are not drawn by their parent";
    EXPECT_EQ(currentProgram(), 0);
}

TEST_F(MeshGLTest, SharedGeometryDrawsThroughEachMeshsOwnVertexArray) {
    ForwardShader shader(ColorVertex, ColorFragment, true);
    SharedPointer<MeshData> geometry = square();
    auto* left = new Materials::Material(&shader, 1);
    left->Parts()[0] = new Materials::DiffuseColorPart(Vec3f(1, 0, 0));
    auto* right = new Materials::Material(&shader, 1);
    right->Parts()[0] = new Materials::DiffuseColorPart(Vec3f(0, 0, 1));
    {
        Mesh a(geometry, left, {});
        Mesh b(geometry, right, {});
        EXPECT_NE(a.VertexArrayObject(), b.VertexArrayObject());
        a.Matrix(Mat4f::Translate(Vec3f(-0.5f, 0, 0))).Update(Mat4f());
        b.Matrix(Mat4f::Translate(Vec3f(0.5f, 0, 0))).Update(Mat4f());
        a.Draw(true);
        b.Draw(true);
        EXPECT_EQ(geometry.GetCounter()->Count(), 3u);
    }
    EXPECT_EQ(geometry.GetCounter()->Count(), 1u) << "meshes release the geometry";
    EXPECT_EQ(pixel(4, 16), (Rgba{255, 0, 0, 255}));
    EXPECT_EQ(pixel(28, 16), (Rgba{0, 0, 255, 255}));
}

TEST_F(MeshGLTest, ColorPartsSetTheirUniforms) {
    ForwardShader shader(ColorVertex, ColorFragment, true);
    Materials::Material material(&shader, 2);
    material.Parts()[0] = new Materials::DiffuseColorPart(Vec3f(0.25f, 0.5f, 0.75f));
    material.Parts()[1] = new Materials::SpecularColorPart(Vec3f(0.1f, 0.2f, 0.3f), 17);
    const GLuint program = static_cast<GLuint>(shader.getProgramHandle());
    shader.Activate();
    glUniform1f(glGetUniformLocation(program, "emit"), 9.0f);
    const Mat4f camera = Mat4f::Translate(Vec3f(1, 2, 3));
    Shader::SetCameraMatrix(camera);
    material.Activate();
    EXPECT_EQ(currentProgram(), shader.getProgramHandle());
    GLfloat color[3] = {0, 0, 0};
    glGetUniformfv(program, glGetUniformLocation(program, "diffuseColor"), color);
    EXPECT_EQ(Vec3f(color), Vec3f(0.25f, 0.5f, 0.75f));
    GLfloat emit = -1.0f;
    glGetUniformfv(program, glGetUniformLocation(program, "emit"), &emit);
    EXPECT_EQ(emit, 0.0f) << "a colour without emission sets emit to 0";
    glGetUniformfv(program, glGetUniformLocation(program, "specularColor"), color);
    EXPECT_EQ(Vec3f(color), Vec3f(0.1f, 0.2f, 0.3f));
    GLuint shininess = 0;
    glGetUniformuiv(program, glGetUniformLocation(program, "shininess"), &shininess);
    EXPECT_EQ(shininess, 17u);
    GLfloat uploaded[16];
    glGetUniformfv(program, glGetUniformLocation(program, "cameraMatrix"), uploaded);
    EXPECT_EQ(Mat4f(uploaded), camera);
    material.Deactivate();
    EXPECT_EQ(currentProgram(), 0);
}

TEST_F(MeshGLTest, TexturePartsBindOnTheirUnits) {
    ForwardShader shader(ColorVertex, ColorFragment, true);
    SharedPointer<TextureData> diffuse(new TextureData());
    SharedPointer<TextureData> normal(new TextureData());
    SharedPointer<TextureData> displacement(new TextureData());
    Materials::Material material(&shader, 3);
    material.Parts()[0] = new Materials::DiffuseTexturePart(diffuse);
    material.Parts()[1] = new Materials::NormalTexturePart(normal);
    material.Parts()[2] = new Materials::DisplacementTexturePart(displacement);
    EXPECT_EQ(diffuse.GetCounter()->Count(), 2u) << "the part holds a counted reference";
    material.Activate();
    const GLuint program = static_cast<GLuint>(shader.getProgramHandle());
    const std::array<std::pair<char const*, TextureData*>, 3> expected{
        {{"colorTexture", diffuse.Get()},
         {"normalTexture", normal.Get()},
         {"displacementTexture", displacement.Get()}}};
    for (int unit = 0; unit < 3; ++unit) {
        glActiveTexture(GL_TEXTURE0 + unit);
        GLint bound = 0;
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
        EXPECT_EQ(static_cast<GLuint>(bound), expected[unit].second->Texture()) << unit;
        GLint sampler = -1;
        glGetUniformiv(program, glGetUniformLocation(program, expected[unit].first), &sampler);
        EXPECT_EQ(sampler, unit);
        glBindTexture(GL_TEXTURE_2D, 0);
    }
    glActiveTexture(GL_TEXTURE0);
    material.Deactivate();
}

TEST_F(MeshGLTest, BSPDrawPaintsTheNearTriangleLast) {
    ForwardShader shader(NormalVertex, NormalFragment, true);
    Materials::Material material(&shader, 0);
    // Two overlapping triangles: red at z = 0, green at z = 0.5.
    std::vector<BaseVertex> vertices{
        at(-1, -1, 0, Vec3f(1, 0, 0)),   at(1, -1, 0, Vec3f(1, 0, 0)),
        at(0, 1, 0, Vec3f(1, 0, 0)),     at(-1, -1, 0.5f, Vec3f(0, 1, 0)),
        at(1, -1, 0.5f, Vec3f(0, 1, 0)), at(0, 1, 0.5f, Vec3f(0, 1, 0))};
    SceneObject object;
    object.Components()[COMPONENT_POSITION] = new PositionComponent(&object);
    auto* bsp = new BSPDrawComponent(vertices, {0, 1, 2, 3, 4, 5}, &material, &object);
    object.Components()[COMPONENT_BSP_DRAW] = bsp;
    ASSERT_NE(bsp->Root(), nullptr);
    EXPECT_NE(bsp->VertexBuffer(), 0u);
    bsp->Update(1.0f);

    bsp->Draw(Vec3f(0, 0, 2), nullptr);
    EXPECT_EQ(pixel(16, 12), (Rgba{0, 255, 0, 255}));
    bsp->Draw(Vec3f(0, 0, -1), nullptr);
    EXPECT_EQ(pixel(16, 12), (Rgba{255, 0, 0, 255}));
    EXPECT_EQ(currentProgram(), 0);
    GLint arrayBuffer = -1;
    glGetIntegerv(GL_ARRAY_BUFFER_BINDING, &arrayBuffer);
    EXPECT_EQ(arrayBuffer, 0);
    for (GLuint location :
         {Shader::HANDLE_VERTEX, Shader::HANDLE_NORMAL, Shader::HANDLE_SMOOTH_NORMAL}) {
        glDisableVertexAttribArray(location);
    }

    const std::string printed =
        TestSupport::captureStdout([&object] { delete object.Components()[COMPONENT_BSP_DRAW]; });
    object.Components().erase(COMPONENT_BSP_DRAW);
    EXPECT_EQ(printed, "DELEETETETE\n");
}

TEST_F(MeshGLTest, BSPComponentFollowsItsObjectAndUploadsItsMatrix) {
    ForwardShader shader(NormalVertex, NormalFragment, true);
    Materials::Material material(&shader, 0);
    std::vector<BaseVertex> vertices{at(-0.25f, -0.25f, 0, Vec3f(1, 1, 1)),
                                     at(0.25f, -0.25f, 0, Vec3f(1, 1, 1)),
                                     at(0, 0.25f, 0, Vec3f(1, 1, 1))};
    SceneObject object;
    auto* position = new PositionComponent(&object);
    position->Matrix(Mat4f::Translate(Vec3f(0.5f, 0, 0)));
    object.Components()[COMPONENT_POSITION] = position;
    auto bsp = std::make_unique<BSPDrawComponent>(vertices, std::vector<unsigned int>{0, 1, 2},
                                                  &material, &object);
    bsp->Update(3.0f);
    EXPECT_EQ(bsp->Matrix(), position->Matrix());
    EXPECT_EQ(position->LastUpdateFrame(), 3.0f);
    bsp->Draw(Vec3f(0, 0, 1), nullptr);
    EXPECT_EQ(pixel(24, 15), (Rgba{255, 255, 255, 255}));
    EXPECT_EQ(pixel(16, 15), (Rgba{0, 0, 0, 255}));
    for (GLuint location :
         {Shader::HANDLE_VERTEX, Shader::HANDLE_NORMAL, Shader::HANDLE_SMOOTH_NORMAL}) {
        glDisableVertexAttribArray(location);
    }
    EXPECT_EQ(TestSupport::captureStdout([&bsp] { bsp.reset(); }), "DELEETETETE\n");
}

TEST_F(MeshGLTest, EmptyBSPHasNoTreeNoBufferAndDrawsNothing) {
    const std::string printed = TestSupport::captureStdout([] {
        BSPDrawComponent empty({}, {}, nullptr, nullptr);
        EXPECT_EQ(empty.Root(), nullptr);
        EXPECT_EQ(empty.VertexBuffer(), 0u);
        empty.Draw(Vec3f(0, 0, 1), nullptr);
    });
    EXPECT_EQ(printed, "");
}
