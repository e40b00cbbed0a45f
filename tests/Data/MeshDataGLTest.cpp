#include "Render/Support/TestShaders.h"
#include "Support/GLContext.h"
#include "Support/Output.h"

#include <Engine/Data/MeshData.h>
#include <Engine/Render/Shader/ForwardShader.h>
#include <GL/glew.h>
#include <cstdint>
#include <cstring>
#include <gtest/gtest.h>
#include <map>
#include <vector>

using Engine::Math::Vec2f;
using Engine::Math::Vec3f;
using Engine::Math::Vec4f;
using Engine::Render::Shader::ForwardShader;
using Engine::Render::Shader::Shader;
using Engine::Scene::MeshData;
using Engine::Util::BaseVertex;
using Engine::Util::MaxVertex;
using Engine::Util::UVVertex;
using TestSupport::captureStdout;

namespace {

using Mapping = std::map<UVCoordMapping, unsigned char>;

GLint integer(GLenum name) {
    GLint value = -1;
    glGetIntegerv(name, &value);
    return value;
}

std::vector<unsigned char> bufferBytes(GLenum target, GLuint buffer) {
    glBindBuffer(target, buffer);
    GLint size = 0;
    glGetBufferParameteriv(target, GL_BUFFER_SIZE, &size);
    std::vector<unsigned char> bytes(static_cast<std::size_t>(size));
    if (size > 0) {
        glGetBufferSubData(target, 0, size, bytes.data());
    }
    glBindBuffer(target, 0);
    return bytes;
}

// How one attribute of a vertex array object is described.
struct Attribute {
    bool enabled = false;
    GLint size = 0;
    GLint stride = 0;
    std::uintptr_t offset = 0;
    GLint buffer = 0;
};

Attribute attribute(GLuint vao, GLuint location) {
    glBindVertexArray(vao);
    Attribute a;
    GLint enabled = 0;
    glGetVertexAttribiv(location, GL_VERTEX_ATTRIB_ARRAY_ENABLED, &enabled);
    a.enabled = enabled != 0;
    glGetVertexAttribiv(location, GL_VERTEX_ATTRIB_ARRAY_SIZE, &a.size);
    glGetVertexAttribiv(location, GL_VERTEX_ATTRIB_ARRAY_STRIDE, &a.stride);
    glGetVertexAttribiv(location, GL_VERTEX_ATTRIB_ARRAY_BUFFER_BINDING, &a.buffer);
    void* pointer = nullptr;
    glGetVertexAttribPointerv(location, GL_VERTEX_ATTRIB_ARRAY_POINTER, &pointer);
    a.offset = reinterpret_cast<std::uintptr_t>(pointer);
    glBindVertexArray(0);
    return a;
}

void expectAttribute(GLuint vao, GLuint location, GLint size, GLint stride, std::uintptr_t offset) {
    Attribute const a = attribute(vao, location);
    EXPECT_TRUE(a.enabled) << "location " << location;
    EXPECT_EQ(a.size, size) << "location " << location;
    EXPECT_EQ(a.stride, stride) << "location " << location;
    EXPECT_EQ(a.offset, offset) << "location " << location;
}

// Three corners of a triangle that covers the whole viewport.
std::vector<Vec4f> const cover = {Vec4f(-1, -1, 0, 1), Vec4f(3, -1, 0, 1), Vec4f(-1, 3, 0, 1)};

} // namespace

class MeshDataGLTest : public TestSupport::GLTest {
protected:
    void TearDown() override {
        for (GLuint vao : vaos) {
            glDeleteVertexArrays(1, &vao);
        }
        TestSupport::GLTest::TearDown();
    }

    GLuint newVao() {
        GLuint vao = 0;
        glGenVertexArrays(1, &vao);
        vaos.push_back(vao);
        return vao;
    }

    std::vector<GLuint> vaos;
};

TEST_F(MeshDataGLTest, ConstructorsUploadVerticesAndIndices) {
    std::vector<BaseVertex> base(2);
    base[1].position = Vec4f(1, 2, 3, 1);
    std::vector<UVVertex> uv(3);
    uv[2].texCoord1 = Vec2f(0.5f, 0.25f);
    std::vector<MaxVertex> max(1);
    max[0].texCoords[9] = Vec2f(7, 8);
    unsigned int indices[] = {0, 1, 1, 0, 2, 1};

    MeshData baseMesh(base.data(), 2, indices, 6);
    MeshData uvMesh(uv.data(), 3, indices, 3);
    MeshData maxMesh(max.data(), 1, indices, 1);
    EXPECT_EQ(baseMesh.Format(), MeshData::FORMAT_BASE);
    EXPECT_EQ(uvMesh.Format(), MeshData::FORMAT_UV);
    EXPECT_EQ(maxMesh.Format(), MeshData::FORMAT_MAX);
    EXPECT_EQ(baseMesh.IndexCount(), 6u);

    std::vector<unsigned char> bytes = bufferBytes(GL_ARRAY_BUFFER, baseMesh.VertexBuffer());
    ASSERT_EQ(bytes.size(), 80u);
    EXPECT_EQ(std::memcmp(bytes.data(), base.data(), 80), 0);
    bytes = bufferBytes(GL_ARRAY_BUFFER, uvMesh.VertexBuffer());
    ASSERT_EQ(bytes.size(), 264u);
    EXPECT_EQ(std::memcmp(bytes.data(), uv.data(), 264), 0);
    bytes = bufferBytes(GL_ARRAY_BUFFER, maxMesh.VertexBuffer());
    ASSERT_EQ(bytes.size(), 120u);
    EXPECT_EQ(std::memcmp(bytes.data(), max.data(), 120), 0);
    bytes = bufferBytes(GL_ELEMENT_ARRAY_BUFFER, baseMesh.IndexBuffer());
    ASSERT_EQ(bytes.size(), 24u);
    EXPECT_EQ(std::memcmp(bytes.data(), indices, 24), 0);
}

TEST_F(MeshDataGLTest, ConstructionLeavesNothingBound) {
    GLuint const vao = newVao();
    glBindVertexArray(vao);
    BaseVertex vertex;
    unsigned int index = 0;
    MeshData mesh(&vertex, 1, &index, 1);
    EXPECT_EQ(integer(GL_VERTEX_ARRAY_BINDING), 0);
    EXPECT_EQ(integer(GL_ARRAY_BUFFER_BINDING), 0);
    EXPECT_EQ(integer(GL_ELEMENT_ARRAY_BUFFER_BINDING), 0);
    // The caller's vertex array object did not get the index buffer.
    glBindVertexArray(vao);
    EXPECT_EQ(integer(GL_ELEMENT_ARRAY_BUFFER_BINDING), 0);
    glBindVertexArray(0);
}

TEST_F(MeshDataGLTest, DestructorDeletesTheBuffers) {
    BaseVertex vertex;
    unsigned int index = 0;
    auto* mesh = new MeshData(&vertex, 1, &index, 1);
    GLuint const vertices = mesh->VertexBuffer();
    GLuint const indices = mesh->IndexBuffer();
    EXPECT_TRUE(glIsBuffer(vertices));
    EXPECT_TRUE(glIsBuffer(indices));
    delete mesh;
    EXPECT_FALSE(glIsBuffer(vertices));
    EXPECT_FALSE(glIsBuffer(indices));
}

TEST_F(MeshDataGLTest, UVMappingChoosesTheChannelOfEachTexture) {
    std::vector<UVVertex> vertices(3);
    unsigned int indices[] = {0, 1, 2};
    MeshData mesh(vertices.data(), 3, indices, 3);
    GLuint const vao = newVao();
    mesh.BindToVAO(static_cast<int>(vao), Mapping{{UVMAP_DIFFUSE, 1}, {UVMAP_NORMAL, 0}});
    expectAttribute(vao, Shader::HANDLE_VERTEX, 4, 88, 0);
    expectAttribute(vao, Shader::HANDLE_NORMAL, 3, 88, 16);
    expectAttribute(vao, Shader::HANDLE_SMOOTH_NORMAL, 3, 88, 28);
    expectAttribute(vao, Shader::HANDLE_DIFFUSE_UV, 2, 88, 64);
    expectAttribute(vao, Shader::HANDLE_DIFFUSE_TANGENT, 4, 88, 72);
    expectAttribute(vao, Shader::HANDLE_NORMAL_UV, 2, 88, 40);
    expectAttribute(vao, Shader::HANDLE_DISPLACEMENT_UV, 2, 88, 40);
    expectAttribute(vao, Shader::HANDLE_DISPLACEMENT_TANGENT, 4, 88, 48);
    EXPECT_EQ(attribute(vao, Shader::HANDLE_VERTEX).buffer,
              static_cast<GLint>(mesh.VertexBuffer()));
    glBindVertexArray(vao);
    EXPECT_EQ(integer(GL_ELEMENT_ARRAY_BUFFER_BINDING), static_cast<GLint>(mesh.IndexBuffer()));
    glBindVertexArray(0);
    EXPECT_EQ(integer(GL_VERTEX_ARRAY_BINDING), 0);
    EXPECT_EQ(integer(GL_ARRAY_BUFFER_BINDING), 0);
    EXPECT_EQ(integer(GL_ELEMENT_ARRAY_BUFFER_BINDING), 0);
}

TEST_F(MeshDataGLTest, MeshesSharingGeometryKeepTheirOwnLayouts) {
    std::vector<UVVertex> vertices(3);
    unsigned int indices[] = {0, 1, 2};
    MeshData mesh(vertices.data(), 3, indices, 3);
    GLuint const first = newVao();
    GLuint const second = newVao();
    mesh.BindToVAO(static_cast<int>(first), Mapping{{UVMAP_DISPLACEMENT, 1}});
    mesh.BindToVAO(static_cast<int>(second), Mapping{});
    EXPECT_EQ(attribute(first, Shader::HANDLE_DISPLACEMENT_UV).offset, 64u);
    EXPECT_EQ(attribute(first, Shader::HANDLE_DISPLACEMENT_TANGENT).offset, 72u);
    EXPECT_EQ(attribute(second, Shader::HANDLE_DISPLACEMENT_UV).offset, 40u);
    EXPECT_EQ(attribute(second, Shader::HANDLE_DISPLACEMENT_TANGENT).offset, 48u);
}

TEST_F(MeshDataGLTest, BaseVerticesLeaveTheTextureAttributesDisabled) {
    std::vector<BaseVertex> vertices(3);
    unsigned int indices[] = {0, 1, 2};
    MeshData mesh(vertices.data(), 3, indices, 3);
    GLuint const vao = newVao();
    mesh.BindToVAO(static_cast<int>(vao), Mapping{{UVMAP_DIFFUSE, 1}});
    expectAttribute(vao, Shader::HANDLE_VERTEX, 4, 40, 0);
    expectAttribute(vao, Shader::HANDLE_NORMAL, 3, 40, 16);
    expectAttribute(vao, Shader::HANDLE_SMOOTH_NORMAL, 3, 40, 28);
    for (GLuint location :
         {Shader::HANDLE_DIFFUSE_UV, Shader::HANDLE_DIFFUSE_TANGENT, Shader::HANDLE_DISPLACEMENT_UV,
          Shader::HANDLE_DISPLACEMENT_TANGENT, Shader::HANDLE_NORMAL_UV}) {
        EXPECT_FALSE(attribute(vao, location).enabled) << "location " << location;
    }
}

TEST_F(MeshDataGLTest, MaxVerticesGetNoAttributesButTheirIndices) {
    std::vector<MaxVertex> vertices(3);
    unsigned int indices[] = {0, 1, 2};
    MeshData mesh(vertices.data(), 3, indices, 3);
    GLuint const vao = newVao();
    mesh.BindToVAO(static_cast<int>(vao), Mapping{});
    for (GLuint location = 0; location < 8; ++location) {
        EXPECT_FALSE(attribute(vao, location).enabled) << "location " << location;
    }
    glBindVertexArray(vao);
    EXPECT_EQ(integer(GL_ELEMENT_ARRAY_BUFFER_BINDING), static_cast<GLint>(mesh.IndexBuffer()));
    glBindVertexArray(0);
}

TEST_F(MeshDataGLTest, AChannelTheVerticesLackFallsBackToChannelZero) {
    std::vector<UVVertex> vertices(3);
    unsigned int indices[] = {0, 1, 2};
    MeshData mesh(vertices.data(), 3, indices, 3);
    GLuint const vao = newVao();
    std::string const out = captureStdout([&] {
        mesh.BindToVAO(static_cast<int>(vao), Mapping{{UVMAP_NORMAL, 2}});
    });
    EXPECT_EQ(out, "FATAL Texture channel out of range in a mesh's UV mapping; channel 0 used "
                   "instead\n");
    EXPECT_EQ(attribute(vao, Shader::HANDLE_NORMAL_UV).offset, 40u);
}

// Draws into a small offscreen target and reads back the centre texel.
class MeshDataDrawGLTest : public MeshDataGLTest {
protected:
    void SetUp() override {
        MeshDataGLTest::SetUp();
        glGenFramebuffers(1, &framebuffer);
        glGenRenderbuffers(2, renderbuffers);
        glBindRenderbuffer(GL_RENDERBUFFER, renderbuffers[0]);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, 4, 4);
        glBindRenderbuffer(GL_RENDERBUFFER, renderbuffers[1]);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT16, 4, 4);
        glBindRenderbuffer(GL_RENDERBUFFER, 0);
        glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER,
                                  renderbuffers[0]);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER,
                                  renderbuffers[1]);
        ASSERT_EQ(glCheckFramebufferStatus(GL_FRAMEBUFFER),
                  static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE));
        glGetIntegerv(GL_VIEWPORT, viewport);
        glViewport(0, 0, 4, 4);
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }
    void TearDown() override {
        glViewport(viewport[0], viewport[1], viewport[2], viewport[3]);
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glDeleteFramebuffers(1, &framebuffer);
        glDeleteRenderbuffers(2, renderbuffers);
        glUseProgram(0);
        MeshDataGLTest::TearDown();
    }

    std::vector<unsigned char> centre() {
        std::vector<unsigned char> pixel(4);
        glReadPixels(2, 2, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel.data());
        return pixel;
    }

    void draw(MeshData& mesh, Mapping const& mapping) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        GLuint const vao = newVao();
        mesh.BindToVAO(static_cast<int>(vao), mapping);
        glBindVertexArray(vao);
        mesh.Draw(GL_TRIANGLES);
        glBindVertexArray(0);
    }

    GLuint framebuffer = 0;
    GLuint renderbuffers[2] = {0, 0};
    GLint viewport[4] = {0, 0, 0, 0};
};

TEST_F(MeshDataDrawGLTest, DrawUsesAllIndices) {
    ForwardShader shader(TestShaders::plainVertex, TestShaders::colorForwardFragment, true);
    ASSERT_TRUE(shader.IsLinked());
    std::vector<BaseVertex> vertices;
    for (Vec4f const& corner : cover) {
        vertices.emplace_back(corner, Vec3f(0, 0, 1), Vec3f(0, 0, 1));
    }
    unsigned int indices[] = {0, 1, 2};
    MeshData mesh(vertices.data(), 3, indices, 3);
    shader.Activate();
    shader.SetDiffuseColor(Vec3f(0.25f, 0.5f, 1.0f));
    draw(mesh, Mapping{});
    std::vector<unsigned char> const pixel = centre();
    EXPECT_NEAR(pixel[0], 64, 1);
    EXPECT_NEAR(pixel[1], 128, 1);
    EXPECT_EQ(pixel[2], 255);
}

TEST_F(MeshDataDrawGLTest, TheMappedChannelReachesTheShader) {
    ForwardShader shader(R"(#version 400 core
in vec4 vertex;
in vec2 diffuseUV;
out vec2 uv;
void main() {
    uv = diffuseUV;
    gl_Position = vertex;
}
)",
                         R"(#version 400 core
in vec2 uv;
out vec4 fragColor;
void main() {
    fragColor = vec4(uv, 0.0, 1.0);
}
)",
                         true);
    ASSERT_TRUE(shader.IsLinked());
    std::vector<UVVertex> vertices;
    for (Vec4f const& corner : cover) {
        vertices.emplace_back(corner, Vec3f(0, 0, 1), Vec3f(0, 0, 1), Vec2f(1, 0),
                              Vec4f(1, 0, 0, 1), Vec2f(0.25f, 0.75f), Vec4f(1, 0, 0, 1));
    }
    unsigned int indices[] = {0, 1, 2};
    MeshData mesh(vertices.data(), 3, indices, 3);
    shader.Activate();
    draw(mesh, Mapping{{UVMAP_DIFFUSE, 1}});
    std::vector<unsigned char> pixel = centre();
    EXPECT_NEAR(pixel[0], 64, 1);
    EXPECT_NEAR(pixel[1], 191, 1);
    draw(mesh, Mapping{});
    pixel = centre();
    EXPECT_EQ(pixel[0], 255);
    EXPECT_EQ(pixel[1], 0);
}
