#include "Support/GLContext.h"
#include "ToolsTestSupport.h"

#include <GL/glew.h>
#include <gtest/gtest.h>
#include <map>
#include <vlpc/FormatReader.h>
#include <vlpc/ManifestCompiler.h>

// Every shader program of the demo's manifest compiles and links the way the
// engine builds its deferred material programs (fixed attribute locations,
// four fragment outputs), and its material uniforms have the types that the
// engine's setters upload.
namespace {

std::string const MANIFEST = std::string(PROJECT_TEST_DATA) + "/demo.json";

struct Stage {
    std::size_t index;
    GLenum type;
};

Stage const STAGES[] = {{0, GL_VERTEX_SHADER},
                        {1, GL_TESS_CONTROL_SHADER},
                        {2, GL_TESS_EVALUATION_SHADER},
                        {3, GL_GEOMETRY_SHADER},
                        {4, GL_FRAGMENT_SHADER}};

std::pair<char const*, GLuint> const ATTRIBUTES[] = {
    {"vertex", 0},       {"diffuseUV", 1},      {"normal", 2},   {"diffuseTangent", 3},
    {"smoothNormal", 4}, {"displacementUV", 5}, {"normalUV", 6}, {"displacementTangent", 7}};

std::pair<char const*, GLuint> const OUTPUTS[] = {
    {"fragDiffuse", 0}, {"fragSpecular", 1}, {"fragNormal", 2}, {"fragEmit", 3}};

std::map<std::string, GLenum> const UNIFORM_TYPES = {{"matrix", GL_FLOAT_MAT4},
                                                     {"cameraMatrix", GL_FLOAT_MAT4},
                                                     {"diffuseColor", GL_FLOAT_VEC3},
                                                     {"emit", GL_FLOAT},
                                                     {"specularColor", GL_FLOAT_VEC3},
                                                     {"shininess", GL_UNSIGNED_INT},
                                                     {"colorTexture", GL_SAMPLER_2D},
                                                     {"normalTexture", GL_SAMPLER_2D},
                                                     {"displacementTexture", GL_SAMPLER_2D},
                                                     {"cameraLocation", GL_FLOAT_VEC4}};

std::string infoLog(GLuint object, bool program) {
    GLint length = 0;
    program ? glGetProgramiv(object, GL_INFO_LOG_LENGTH, &length)
            : glGetShaderiv(object, GL_INFO_LOG_LENGTH, &length);
    std::string log(static_cast<std::size_t>(std::max(length, 1)), '\0');
    program ? glGetProgramInfoLog(object, length, nullptr, log.data())
            : glGetShaderInfoLog(object, length, nullptr, log.data());
    return log;
}

class DemoShadersGLTest : public TestSupport::GLTest {};

} // namespace

TEST_F(DemoShadersGLTest, EveryProgramLinksWithTheEngineInterface) {
    vlpc::CompiledAssets const assets = vlpc::ManifestCompiler().compile(MANIFEST);
    ASSERT_FALSE(assets.shaders.shaders.empty());
    for (std::size_t id = 0; id < assets.shaders.shaders.size(); ++id) {
        SCOPED_TRACE("shader " + std::to_string(id));
        vlpc::ShaderRecord const& record = assets.shaders.shaders[id];
        GLuint const program = glCreateProgram();
        std::vector<GLuint> shaders;
        for (Stage const& stage : STAGES) {
            std::string const& text = record.stages[stage.index];
            if (text.empty()) {
                continue;
            }
            GLuint const shader = glCreateShader(stage.type);
            char const* source = text.c_str();
            glShaderSource(shader, 1, &source, nullptr);
            glCompileShader(shader);
            GLint compiled = 0;
            glGetShaderiv(shader, GL_COMPILE_STATUS, &compiled);
            EXPECT_EQ(compiled, GL_TRUE)
                << "stage " << stage.index << ": " << infoLog(shader, false);
            glAttachShader(program, shader);
            shaders.push_back(shader);
        }
        for (auto const& [name, location] : OUTPUTS) {
            glBindFragDataLocation(program, location, name);
        }
        for (auto const& [name, location] : ATTRIBUTES) {
            glBindAttribLocation(program, location, name);
        }
        glLinkProgram(program);
        GLint linked = 0;
        glGetProgramiv(program, GL_LINK_STATUS, &linked);
        EXPECT_EQ(linked, GL_TRUE) << infoLog(program, true);

        // Every output the G-buffer has is written.
        for (auto const& [name, location] : OUTPUTS) {
            EXPECT_EQ(glGetFragDataLocation(program, name), GLint(location)) << name;
        }
        EXPECT_GE(glGetAttribLocation(program, "vertex"), 0);
        EXPECT_GE(glGetUniformLocation(program, "cameraMatrix"), 0);
        EXPECT_GE(glGetUniformLocation(program, "matrix"), 0);

        GLint count = 0;
        glGetProgramiv(program, GL_ACTIVE_UNIFORMS, &count);
        for (GLint u = 0; u < count; ++u) {
            char name[128] = {};
            GLint size = 0;
            GLenum type = 0;
            glGetActiveUniform(program, GLuint(u), sizeof name, nullptr, &size, &type, name);
            auto const expected = UNIFORM_TYPES.find(name);
            ASSERT_NE(expected, UNIFORM_TYPES.end())
                << "uniform " << name << " is not an engine one";
            EXPECT_EQ(type, expected->second) << name;
        }
        for (GLuint shader : shaders) {
            glDeleteShader(shader);
        }
        glDeleteProgram(program);
    }
}
