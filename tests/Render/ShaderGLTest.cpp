#include "Data/Support/AssetWriter.h"
#include "Render/Support/TestShaders.h"
#include "Support/GLContext.h"
#include "Support/Output.h"

#include <Engine/Data/TextureData.h>
#include <Engine/Render/CDFrameBuffer.h>
#include <Engine/Render/Internal/ShaderPaths.h>
#include <Engine/Render/Shader/DeferredShader.h>
#include <Engine/Render/Shader/ForwardShader.h>
#include <Engine/Render/Shader/GodRayShader.h>
#include <Engine/Render/Shader/HDREffecSthader.h>
#include <Engine/Render/Shader/IlluminationShader.h>
#include <Engine/Render/Shader/PostprocessingShader.h>
#include <Engine/Render/Shader/ShadowGaussShader.h>
#include <Engine/Render/Shader/ShadowShader.h>
#include <GL/glew.h>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <utility>
#include <vector>

using Engine::Math::Mat4f;
using Engine::Math::Vec2f;
using Engine::Math::Vec3f;
using Engine::Math::Vec4f;
using Engine::Render::Shader::DeferredShader;
using Engine::Render::Shader::ForwardShader;
using Engine::Render::Shader::Shader;
using Engine::Scene::TextureData;
using TestSupport::captureStdout;

namespace {

// Exposes what a derived shader class may see.
class ProbeShader : public DeferredShader {
public:
    using DeferredShader::DeferredShader;

    int ColorTexture() const { return colorTextureLocation; }
    int DepthTexture() const { return depthTextureLocation; }
    int Matrix() const { return matrixLocation; }
    int CameraMatrix() const { return cameraMatrixLocation; }
    int DiffuseColor() const { return diffuseColorLocation; }
    int Emit() const { return emitLocation; }
    int NormalTexture() const { return normalTextureLocation; }
    int CameraLocation() const { return cameraLocationLocation; }
    int BillBoardSize() const { return billBoardSizeLocation; }
    int SpecularColor() const { return specularColorLocation; }
    int Shininess() const { return shininessLocation; }
    int DisplacementTexture() const { return displacementTextureLocation; }
    unsigned int VertexStage() const { return vertexShader; }
    unsigned int GeometryStage() const { return geometryShader; }

    unsigned int Compile(char const* source, unsigned int type, char const* prefix) {
        return LoadShader(source, type, prefix);
    }
    unsigned int CompileFile(char const* path, unsigned int type, char const* prefix) {
        return LoadShaderFile(path, type, prefix);
    }
    void DropStages() { deleteShaders(); }
};

GLint currentProgram() {
    GLint program = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &program);
    return program;
}

} // namespace

class ShaderGLTest : public TestSupport::GLTest {
protected:
    void TearDown() override {
        glUseProgram(0);
        Shader::SetCameraMatrix(Mat4f());
        TestSupport::GLTest::TearDown();
    }

    std::unique_ptr<ProbeShader> full() {
        std::unique_ptr<ProbeShader> shader;
        captureStdout([&] {
            shader = std::make_unique<ProbeShader>(TestShaders::fullVertex,
                                                   TestShaders::fullDeferredFragment, true);
        });
        return shader;
    }

    // A file in the test's own folder with the given text.
    std::string file(char const* name, char const* text) {
        std::string const path = dir.Directory() + name;
        std::string const content(text);
        TestAssets::writeFile(path, TestAssets::Bytes(content.begin(), content.end()));
        return path;
    }

    TestAssets::TempDir dir;
};

TEST_F(ShaderGLTest, SourceProgramBindsTheFixedAttributeLocations) {
    auto shader = full();
    ASSERT_NE(shader->getProgramHandle(), 0);
    EXPECT_TRUE(shader->IsLinked());
    EXPECT_EQ(shader->PrimitiveType(), 4u);
    GLuint const program = static_cast<GLuint>(shader->getProgramHandle());
    EXPECT_EQ(glGetAttribLocation(program, "vertex"), 0);
    EXPECT_EQ(glGetAttribLocation(program, "diffuseUV"), 1);
    EXPECT_EQ(glGetAttribLocation(program, "normal"), 2);
    EXPECT_EQ(glGetAttribLocation(program, "diffuseTangent"), 3);
    EXPECT_EQ(glGetAttribLocation(program, "smoothNormal"), 4);
    EXPECT_EQ(glGetAttribLocation(program, "displacementUV"), 5);
    EXPECT_EQ(glGetAttribLocation(program, "normalUV"), 6);
    EXPECT_EQ(glGetAttribLocation(program, "displacementTangent"), 7);
    EXPECT_EQ(Shader::HANDLE_NORMAL_UV, 6u);
    EXPECT_EQ(Shader::HANDLE_DISPLACEMENT_TANGENT, 7u);
}

TEST_F(ShaderGLTest, DeferredShaderBindsTheFourGBufferOutputs) {
    auto shader = full();
    GLuint const program = static_cast<GLuint>(shader->getProgramHandle());
    EXPECT_EQ(glGetFragDataLocation(program, "fragDiffuse"), 0);
    EXPECT_EQ(glGetFragDataLocation(program, "fragSpecular"), 1);
    EXPECT_EQ(glGetFragDataLocation(program, "fragNormal"), 2);
    EXPECT_EQ(glGetFragDataLocation(program, "fragEmit"), 3);
}

TEST_F(ShaderGLTest, ForwardShaderBindsFragColor) {
    ForwardShader shader(TestShaders::plainVertex, TestShaders::colorForwardFragment, true);
    ASSERT_TRUE(shader.IsLinked());
    EXPECT_EQ(glGetFragDataLocation(static_cast<GLuint>(shader.getProgramHandle()), "fragColor"),
              0);
}

TEST_F(ShaderGLTest, UniformLocationsAreThoseOfTheProgram) {
    auto shader = full();
    GLuint const program = static_cast<GLuint>(shader->getProgramHandle());
    EXPECT_EQ(shader->ColorTexture(), glGetUniformLocation(program, "colorTexture"));
    EXPECT_EQ(shader->Matrix(), glGetUniformLocation(program, "matrix"));
    EXPECT_EQ(shader->CameraMatrix(), glGetUniformLocation(program, "cameraMatrix"));
    EXPECT_EQ(shader->DiffuseColor(), glGetUniformLocation(program, "diffuseColor"));
    EXPECT_EQ(shader->Emit(), glGetUniformLocation(program, "emit"));
    EXPECT_EQ(shader->NormalTexture(), glGetUniformLocation(program, "normalTexture"));
    EXPECT_EQ(shader->CameraLocation(), glGetUniformLocation(program, "cameraLocation"));
    EXPECT_EQ(shader->BillBoardSize(), glGetUniformLocation(program, "billBoardSize"));
    EXPECT_EQ(shader->SpecularColor(), glGetUniformLocation(program, "specularColor"));
    EXPECT_EQ(shader->Shininess(), glGetUniformLocation(program, "shininess"));
    EXPECT_EQ(shader->DisplacementTexture(), glGetUniformLocation(program, "displacementTexture"));
    for (int location : {shader->ColorTexture(), shader->Matrix(), shader->CameraMatrix(),
                         shader->DiffuseColor(), shader->Emit(), shader->NormalTexture(),
                         shader->CameraLocation(), shader->BillBoardSize(), shader->SpecularColor(),
                         shader->Shininess(), shader->DisplacementTexture()}) {
        EXPECT_NE(location, -1);
    }
    // Not declared by the program.
    EXPECT_EQ(shader->DepthTexture(), -1);
}

TEST_F(ShaderGLTest, SettersUploadToThePrograms) {
    auto shader = full();
    shader->Activate();
    Mat4f const m(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16);
    shader->SetMatrix(m);
    shader->SetDiffuseColor(Vec3f(0.1f, 0.2f, 0.3f));
    shader->SetEmit(0.75f);
    shader->SetSpecularColor(Vec3f(0.4f, 0.5f, 0.6f));
    shader->SetShininess(42);
    shader->SetCameraLocation(Vec4f(1, 2, 3, 4));
    shader->SetBillBoardSize(Vec2f(5, 6));
    GLuint const program = static_cast<GLuint>(shader->getProgramHandle());
    float values[16] = {};
    glGetUniformfv(program, shader->Matrix(), values);
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(values[i], m.GetGlMatrix()[i]);
    }
    glGetUniformfv(program, shader->DiffuseColor(), values);
    EXPECT_EQ(Vec3f(values), Vec3f(0.1f, 0.2f, 0.3f));
    glGetUniformfv(program, shader->Emit(), values);
    EXPECT_EQ(values[0], 0.75f);
    glGetUniformfv(program, shader->SpecularColor(), values);
    EXPECT_EQ(Vec3f(values), Vec3f(0.4f, 0.5f, 0.6f));
    GLuint shininess = 0;
    glGetUniformuiv(program, shader->Shininess(), &shininess);
    EXPECT_EQ(shininess, 42u);
    glGetUniformfv(program, shader->CameraLocation(), values);
    EXPECT_EQ(Vec4f(values), Vec4f(1, 2, 3, 4));
    glGetUniformfv(program, shader->BillBoardSize(), values);
    EXPECT_EQ(values[0], 5.0f);
    EXPECT_EQ(values[1], 6.0f);
}

TEST_F(ShaderGLTest, SettersOfAbsentUniformsMakeNoGLCall) {
    DeferredShader shader(TestShaders::plainVertex, TestShaders::plainDeferredFragment, true);
    ASSERT_TRUE(shader.IsLinked());
    glUseProgram(0);
    // Without a current program any glUniform call is an error, even for -1.
    glUniform1f(-1, 0.0f);
    ASSERT_EQ(glGetError(), static_cast<GLenum>(GL_INVALID_OPERATION));
    EXPECT_EQ(TestSupport::takeGLDebugMessages().size(), 1u);

    TextureData texture;
    shader.SetMatrix(Mat4f());
    shader.SetDiffuseColor(Vec3f());
    shader.SetEmit(1.0f);
    shader.SetSpecularColor(Vec3f());
    shader.SetShininess(1);
    shader.SetCameraLocation(Vec4f());
    shader.SetBillBoardSize(Vec2f());
    shader.SetDiffuseTexture(&texture);
    shader.SetNormalTexture(&texture);
    shader.SetDisplacementTexture(&texture);
    shader.Activate();
    shader.Deactivate();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(ShaderGLTest, ActivateUploadsTheLastCameraMatrixToEveryShader) {
    auto first = full();
    auto second = full();
    Mat4f const camera(2, 0, 0, 1, 0, 3, 0, 2, 0, 0, 4, 3, 0, 0, 0, 1);
    Shader::SetCameraMatrix(camera);
    EXPECT_EQ(Shader::LastCameraMatrix(), camera);
    for (ProbeShader* shader : {first.get(), second.get()}) {
        shader->Activate();
        EXPECT_EQ(currentProgram(), shader->getProgramHandle());
        float values[16] = {};
        glGetUniformfv(static_cast<GLuint>(shader->getProgramHandle()), shader->CameraMatrix(),
                       values);
        EXPECT_EQ(Mat4f(values), camera);
    }
    first->Deactivate();
    EXPECT_EQ(currentProgram(), 0);
}

TEST_F(ShaderGLTest, MissingFilesLeaveAnInertShader) {
    std::unique_ptr<DeferredShader> shader;
    std::string const out = captureStdout(
        [&] { shader = std::make_unique<DeferredShader>("no/such.vert", "no/such.frag"); });
    EXPECT_EQ(out, "FATAL Unable to open filestream\nFile: no/such.vert\n"
                   "FATAL Unable to open filestream\nFile: no/such.frag\n");
    EXPECT_EQ(shader->getProgramHandle(), 0);
    EXPECT_FALSE(shader->IsLinked());
    ForwardShader active(TestShaders::plainVertex, TestShaders::colorForwardFragment, true);
    active.Activate();
    shader->Activate();
    EXPECT_EQ(currentProgram(), active.getProgramHandle());
}

TEST_F(ShaderGLTest, CompileErrorsNameTheirStageAndTheOtherStagesStillCompile) {
    std::unique_ptr<DeferredShader> shader;
    std::string const out = captureStdout([&] {
        shader = std::make_unique<DeferredShader>(
            TestShaders::plainVertex, "#version 400 core\nbad", "#version 400 core\nworse", true);
    });
    std::string const header = "FATAL Error while compiling the shader\nShaderType: ";
    std::size_t const geometry = out.find(header + "GL_GEOMETRY_SHADER\n\nMessage:\n");
    std::size_t const fragment = out.find(header + "GL_FRAGMENT_SHADER\n\nMessage:\n");
    ASSERT_NE(geometry, std::string::npos) << out;
    ASSERT_NE(fragment, std::string::npos) << out;
    EXPECT_LT(geometry, fragment);
    // The GL info log follows each message header.
    EXPECT_GT(fragment - geometry, header.size() + 40);
    EXPECT_EQ(shader->getProgramHandle(), 0);
}

TEST_F(ShaderGLTest, AFailedOptionalStageIsLeftOut) {
    std::unique_ptr<DeferredShader> shader;
    std::string const out = captureStdout([&] {
        shader =
            std::make_unique<DeferredShader>(TestShaders::plainVertex, "#version 400 core\nbad",
                                             TestShaders::plainDeferredFragment, true);
    });
    EXPECT_NE(out.find("ShaderType: GL_GEOMETRY_SHADER"), std::string::npos);
    EXPECT_TRUE(shader->IsLinked());
}

TEST_F(ShaderGLTest, LinkFailureIsLoggedAndTheShaderStaysInert) {
    // Compiles, but a program without main cannot link.
    char const* const fragment = R"(#version 400 core
out vec4 fragColor;
void helper() { fragColor = vec4(1.0); }
)";
    std::unique_ptr<ForwardShader> shader;
    std::string const out = captureStdout([&] {
        shader = std::make_unique<ForwardShader>(TestShaders::plainVertex, fragment, true);
    });
    EXPECT_EQ(out.rfind("FATAL Failed to link the shader program\nMessage:\n", 0), 0u) << out;
    EXPECT_GT(out.size(),
              std::string("FATAL Failed to link the shader program\nMessage:\n").size() + 2);
    EXPECT_NE(shader->getProgramHandle(), 0);
    EXPECT_FALSE(shader->IsLinked());
    shader->Activate();
    shader->SetDiffuseColor(Vec3f(1, 1, 1));
    EXPECT_EQ(currentProgram(), 0);
}

TEST_F(ShaderGLTest, ALinkFailureOfEveryShaderClassLeavesNoGLErrorPending) {
    // Compiles with or without a #version prefix, but has no main: each class
    // is built from its engine stages with this fragment stage.
    std::string const noMain = file("nomain.frag", "void helper() {}\n");
    char const* const f = noMain.c_str();
    namespace Paths = Engine::Render::ShaderPaths;
    namespace S = Engine::Render::Shader;
    std::vector<std::pair<char const*, std::function<std::shared_ptr<Shader>()>>> const classes = {
        {"DeferredShader", [&] { return std::make_shared<DeferredShader>(Paths::QuadVert, f); }},
        {"ForwardShader", [&] { return std::make_shared<ForwardShader>(Paths::QuadVert, f); }},
        {"PostprocessingShader",
         [&] { return std::make_shared<S::PostprocessingShader>(Paths::QuadVert, f); }},
        {"HDREffecSthader",
         [&] { return std::make_shared<S::HDREffecSthader>(Paths::QuadVert, f); }},
        {"IlluminationShader",
         [&] { return std::make_shared<S::IlluminationShader>(Paths::QuadVert, f); }},
        {"IlluminationShader with defines",
         [&] {
             return std::make_shared<S::IlluminationShader>(Paths::QuadVert, f, "#define X 1\n");
         }},
        {"GodRayShader", [&] { return std::make_shared<S::GodRayShader>(Paths::QuadVert, f); }},
        {"GodRayShader with tessellation",
         [&] {
             return std::make_shared<S::GodRayShader>(LIGHT_GOD_RAY_SPOT, Paths::GodRayVert,
                                                      Paths::GodRayTessC, Paths::GodRayTessE, f);
         }},
        {"ShadowShader",
         [&] {
             return std::make_shared<S::ShadowShader>(LIGHT_SHADOW_SPOT, Paths::ShadowMapVert, f);
         }},
        {"ShadowShader with a cube map",
         [&] {
             return std::make_shared<S::ShadowShader>(LIGHT_SHADOW_POINT, Paths::ShadowMapVert,
                                                      Paths::ShadowMapGeom, f);
         }},
        {"ShadowGaussShader",
         [&] { return std::make_shared<S::ShadowGaussShader>(Paths::ShadowGaussVert, f); }},
    };
    for (auto const& [name, make] : classes) {
        // Shared pointers delete through the class made: Shader has no virtual destructor.
        std::shared_ptr<Shader> shader;
        std::string const out = captureStdout([&] { shader = make(); });
        EXPECT_NE(out.find("FATAL Failed to link the shader program"), std::string::npos)
            << name << ": " << out;
        EXPECT_FALSE(shader->IsLinked()) << name;
        EXPECT_EQ(TestSupport::takeGLError(), 0u) << name << " left a GL error after its link";
        shader->Activate();
        EXPECT_EQ(currentProgram(), 0) << name;
        shader.reset();
        EXPECT_EQ(TestSupport::takeGLError(), 0u) << name << " left a GL error after its use";
    }
}

TEST_F(ShaderGLTest, EveryConstructorBuildsItsStages) {
    std::string const v = file("p.vert", TestShaders::plainVertex);
    std::string const tc = file("p.tesc", TestShaders::plainTessControl);
    std::string const te = file("p.tese", TestShaders::plainTessEvaluation);
    std::string const g = file("p.geom", TestShaders::plainGeometry);
    std::string const df = file("p.frag", TestShaders::plainDeferredFragment);
    std::string const ff = file("f.frag", TestShaders::colorForwardFragment);
    char const* const sv = TestShaders::plainVertex;
    char const* const stc = TestShaders::plainTessControl;
    char const* const ste = TestShaders::plainTessEvaluation;
    char const* const sg = TestShaders::plainGeometry;
    char const* const sdf = TestShaders::plainDeferredFragment;
    char const* const sff = TestShaders::colorForwardFragment;

    struct Case {
        char const* name;
        std::function<Shader*()> make;
        unsigned int primitive;
        // A uniform that only the optional stages use, or null.
        char const* stageUniform;
    };
    Case const cases[] = {
        {"deferred V F files", [&] { return new DeferredShader(v.c_str(), df.c_str()); }, 4,
         nullptr},
        {"deferred V G F files",
         [&] { return new DeferredShader(v.c_str(), g.c_str(), df.c_str()); }, 4, "billBoardSize"},
        {"deferred V TC TE F files",
         [&] { return new DeferredShader(v.c_str(), tc.c_str(), te.c_str(), df.c_str()); }, 14,
         "emit"},
        {"deferred V TC TE G F files",
         [&] {
             return new DeferredShader(v.c_str(), tc.c_str(), te.c_str(), g.c_str(), df.c_str());
         },
         14, "billBoardSize"},
        {"deferred V F text", [&] { return new DeferredShader(sv, sdf, true); }, 4, nullptr},
        {"deferred V G F text", [&] { return new DeferredShader(sv, sg, sdf, true); }, 4,
         "billBoardSize"},
        {"deferred V TC TE F text", [&] { return new DeferredShader(sv, stc, ste, sdf, true); }, 14,
         "emit"},
        {"deferred V TC TE G F text",
         [&] { return new DeferredShader(sv, stc, ste, sg, sdf, true); }, 14, "emit"},
        {"forward V F files", [&] { return new ForwardShader(v.c_str(), ff.c_str()); }, 4, nullptr},
        {"forward V G F files", [&] { return new ForwardShader(v.c_str(), g.c_str(), ff.c_str()); },
         4, "billBoardSize"},
        {"forward V TC TE F files",
         [&] { return new ForwardShader(v.c_str(), tc.c_str(), te.c_str(), ff.c_str()); }, 14,
         "emit"},
        {"forward V TC TE G F files",
         [&] {
             return new ForwardShader(v.c_str(), tc.c_str(), te.c_str(), g.c_str(), ff.c_str());
         },
         14, "billBoardSize"},
        {"forward V F text", [&] { return new ForwardShader(sv, sff, true); }, 4, nullptr},
        {"forward V G F text", [&] { return new ForwardShader(sv, sg, sff, true); }, 4,
         "billBoardSize"},
        {"forward V TC TE F text", [&] { return new ForwardShader(sv, stc, ste, sff, true); }, 14,
         "emit"},
        {"forward V TC TE G F text", [&] { return new ForwardShader(sv, stc, ste, sg, sff, true); },
         14, "billBoardSize"},
    };
    for (Case const& c : cases) {
        Shader* shader = nullptr;
        std::string const out = captureStdout([&] { shader = c.make(); });
        EXPECT_EQ(out, "") << c.name;
        EXPECT_TRUE(shader->IsLinked()) << c.name;
        EXPECT_EQ(shader->PrimitiveType(), c.primitive) << c.name;
        if (c.stageUniform != nullptr) {
            EXPECT_NE(glGetUniformLocation(static_cast<GLuint>(shader->getProgramHandle()),
                                           c.stageUniform),
                      -1)
                << c.name;
        }
        // Shader has no virtual destructor: delete through the class built.
        if (std::string(c.name).rfind("deferred", 0) == 0) {
            delete static_cast<DeferredShader*>(shader);
        } else {
            delete static_cast<ForwardShader*>(shader);
        }
    }
}

TEST_F(ShaderGLTest, APrefixIsCompiledBeforeTheFile) {
    std::string const path = file("prefixed.frag", R"(
out vec4 fragDiffuse;
void main() { fragDiffuse = vec4(VALUE); }
)");
    auto shader = full();
    unsigned int stage = 0;
    std::string out = captureStdout([&] {
        stage = shader->CompileFile(path.c_str(), GL_FRAGMENT_SHADER,
                                    "#version 330 core\n#define VALUE 1.0\n");
    });
    EXPECT_EQ(out, "");
    EXPECT_NE(stage, Shader::NO_STAGE);
    EXPECT_TRUE(glIsShader(stage));
    out = captureStdout(
        [&] { stage = shader->CompileFile(path.c_str(), GL_FRAGMENT_SHADER, nullptr); });
    EXPECT_EQ(stage, Shader::NO_STAGE);
    EXPECT_NE(out.find("ShaderType: GL_FRAGMENT_SHADER"), std::string::npos);
    shader->DropStages();
}

TEST_F(ShaderGLTest, AStageOfUnknownTypeCannotBeCreated) {
    auto shader = full();
    unsigned int stage = 0;
    std::string const out = captureStdout([&] { stage = shader->Compile("x", 0x1234, nullptr); });
    EXPECT_EQ(stage, Shader::NO_STAGE);
    EXPECT_EQ(out, "FATAL Unable to create shader\nFATAL GL: enum argument out of range.\n");
    EXPECT_EQ(shader->VertexStage(), Shader::NO_STAGE);
    EXPECT_EQ(TestSupport::takeGLDebugMessages().size(), 1u);
}

TEST_F(ShaderGLTest, StagesAreGoneAfterConstruction) {
    auto shader = full();
    EXPECT_EQ(shader->VertexStage(), Shader::NO_STAGE);
    EXPECT_EQ(shader->GeometryStage(), Shader::NO_STAGE);
    GLint attached = -1;
    glGetProgramiv(static_cast<GLuint>(shader->getProgramHandle()), GL_ATTACHED_SHADERS, &attached);
    EXPECT_EQ(attached, 0);
}

TEST_F(ShaderGLTest, DestructorDeletesTheProgram) {
    GLuint program = 0;
    {
        auto shader = full();
        program = static_cast<GLuint>(shader->getProgramHandle());
        EXPECT_TRUE(glIsProgram(program));
    }
    EXPECT_FALSE(glIsProgram(program));
}

TEST_F(ShaderGLTest, TextureSettersBindTheFixedUnits) {
    auto shader = full();
    shader->Activate();
    TextureData diffuse;
    TextureData normal;
    TextureData displacement;
    Engine::Util::SharedPointer<TextureData> shared(new TextureData());
    GLuint const program = static_cast<GLuint>(shader->getProgramHandle());
    auto boundOn = [](unsigned int unit) {
        glActiveTexture(GL_TEXTURE0 + unit);
        GLint name = 0;
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &name);
        return static_cast<GLuint>(name);
    };
    auto sampler = [&](int location) {
        GLint unit = -1;
        glGetUniformiv(program, location, &unit);
        return unit;
    };
    shader->SetDiffuseTexture(&diffuse);
    shader->SetNormalTexture(&normal);
    shader->SetDisplacementTexture(&displacement);
    EXPECT_EQ(boundOn(0), diffuse.Texture());
    EXPECT_EQ(boundOn(1), normal.Texture());
    EXPECT_EQ(boundOn(2), displacement.Texture());
    EXPECT_EQ(sampler(shader->ColorTexture()), 0);
    EXPECT_EQ(sampler(shader->NormalTexture()), 1);
    EXPECT_EQ(sampler(shader->DisplacementTexture()), 2);
    shader->SetDiffuseTexture(shared);
    EXPECT_EQ(boundOn(0), shared.Get()->Texture());

    ForwardShader forward(TestShaders::fullVertex, R"(#version 330 core
in vec4 mixed;
uniform sampler2D colorTexture;
out vec4 fragColor;
void main() { fragColor = texture(colorTexture, mixed.xy); }
)",
                          true);
    forward.Activate();
    forward.SetDiffuseTexture(normal.Texture());
    EXPECT_EQ(boundOn(0), normal.Texture());
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, 0);
}

TEST_F(ShaderGLTest, DepthTextureSetterBindsTheTargetsDepthOnUnitTwo) {
    Engine::Render::CDFrameBuffer target;
    target.init(16, 16, false);
    ForwardShader shader(TestShaders::fullVertex, R"(#version 330 core
in vec4 mixed;
uniform sampler2D depthTexture;
out vec4 fragColor;
void main() { fragColor = texture(depthTexture, mixed.xy); }
)",
                         true);
    shader.Activate();
    shader.SetDepthTexture(&target);
    GLint unit = -1;
    glGetIntegerv(GL_ACTIVE_TEXTURE, &unit);
    EXPECT_EQ(unit, GL_TEXTURE0 + static_cast<GLint>(Shader::DEPTH_UNIT));
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_NE(target.getDepthTexID(), 0u);
    EXPECT_EQ(static_cast<GLuint>(bound), target.getDepthTexID());
    GLint sampler = -1;
    glGetUniformiv(
        static_cast<GLuint>(shader.getProgramHandle()),
        glGetUniformLocation(static_cast<GLuint>(shader.getProgramHandle()), "depthTexture"),
        &sampler);
    EXPECT_EQ(sampler, 2);

    // A program without the uniform leaves the texture state alone.
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, 0);
    auto plain = full();
    plain->Activate();
    plain->SetDepthTexture(&target);
    glGetIntegerv(GL_ACTIVE_TEXTURE, &unit);
    EXPECT_EQ(unit, GL_TEXTURE0);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(bound, 0);
    glActiveTexture(GL_TEXTURE0 + Shader::DEPTH_UNIT);
    glBindTexture(GL_TEXTURE_2D, 0);
    glActiveTexture(GL_TEXTURE0);
}

TEST_F(ShaderGLTest, BindArrayToVertexReadsClientMemory) {
    auto shader = full();
    Vec4f points[3];
    shader->BindArrayToVertex(points);
    GLint enabled = 0;
    glGetVertexAttribiv(Shader::HANDLE_VERTEX, GL_VERTEX_ATTRIB_ARRAY_ENABLED, &enabled);
    EXPECT_EQ(enabled, GL_TRUE);
    void* pointer = nullptr;
    glGetVertexAttribPointerv(Shader::HANDLE_VERTEX, GL_VERTEX_ATTRIB_ARRAY_POINTER, &pointer);
    EXPECT_EQ(pointer, static_cast<void*>(points));
    shader->UnbindArrayAtVertex();
    glGetVertexAttribiv(Shader::HANDLE_VERTEX, GL_VERTEX_ATTRIB_ARRAY_ENABLED, &enabled);
    EXPECT_EQ(enabled, GL_FALSE);
}

TEST_F(ShaderGLTest, IdIsSetByTheLoader) {
    auto shader = full();
    EXPECT_EQ(shader->Id(), 0);
    EXPECT_EQ(shader->Id(12), shader.get());
    EXPECT_EQ(shader->Id(), 12);
}
