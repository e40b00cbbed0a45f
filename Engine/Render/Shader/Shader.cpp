#include <Engine/Data/TextureData.h>
#include <Engine/Render/CDFrameBuffer.h>
#include <Engine/Render/Shader/Shader.h>
#include <Engine/Util/Logger.h>
#include <Engine/Util/UtilFunctions.h>
#include <GL/glew.h>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace Engine::Render::Shader {

using Util::Logger;

namespace {

char const* stageName(unsigned int type) {
    switch (type) {
    case GL_VERTEX_SHADER:
        return "GL_VERTEX_SHADER";
    case GL_TESS_CONTROL_SHADER:
        return "GL_TESS_CONTROL_SHADER";
    case GL_TESS_EVALUATION_SHADER:
        return "GL_TESS_EVALUATION_SHADER";
    case GL_GEOMETRY_SHADER:
        return "GL_GEOMETRY_SHADER";
    case GL_FRAGMENT_SHADER:
        return "GL_FRAGMENT_SHADER";
    default:
        return "UNKNOWN";
    }
}

// The info log of a shader or program object, read with its pair of query
// functions. Info logs may be empty; the buffer always holds a terminated
// string.
template <typename GetParameter, typename GetLog>
std::string infoLog(GLuint object, GetParameter getParameter, GetLog getLog) {
    GLint length = 0;
    getParameter(object, GL_INFO_LOG_LENGTH, &length);
    std::vector<char> log(static_cast<size_t>(length > 0 ? length : 0) + 1, '\0');
    if (length > 0) {
        getLog(object, length, nullptr, log.data());
    }
    return log.data();
}

std::string shaderInfoLog(GLuint shader) {
    return infoLog(shader, glGetShaderiv, glGetShaderInfoLog);
}

std::string programInfoLog(GLuint program) {
    return infoLog(program, glGetProgramiv, glGetProgramInfoLog);
}

} // namespace

Math::Mat4f Shader::lastCameraMatrix;

Shader::Shader(unsigned int primitiveType) : primitiveType(primitiveType) {
    initShaderHandles();
}

Shader::~Shader() {
    if (program != 0) {
        glDeleteProgram(program);
    }
    program = 0;
    linked = false;
    deleteShaders();
}

void Shader::initShaderHandles() {
    program = 0;
    vertexShader = NO_STAGE;
    tessControlShader = NO_STAGE;
    tessEvaluationShader = NO_STAGE;
    geometryShader = NO_STAGE;
    fragmentShader = NO_STAGE;
}

unsigned int Shader::LoadShaderFile(char const* path, unsigned int type) {
    return LoadShaderFile(path, type, nullptr);
}

bool Shader::readShaderText(char const* path, std::string& text) {
    std::ifstream stream(path != nullptr ? path : "");
    if (!stream) {
        Logger::Instance()->Fatal("Unable to open filestream");
        Logger::Instance()->Message("File: ", path != nullptr ? path : "", nullptr);
        return false;
    }
    std::ostringstream content;
    content << stream.rdbuf();
    text = content.str();
    return true;
}

unsigned int Shader::LoadShaderFile(char const* path, unsigned int type, char const* prefix) {
    std::string text;
    if (!readShaderText(path, text)) {
        return NO_STAGE;
    }
    return LoadShader(text.c_str(), type, prefix);
}

unsigned int Shader::LoadShader(char const* source, unsigned int type) {
    return LoadShader(source, type, nullptr);
}

unsigned int Shader::LoadShader(char const* source, unsigned int type, char const* prefix) {
    Logger* log = Logger::Instance();
    GLuint shader = glCreateShader(type);
    if (shader == 0) {
        log->Fatal("Unable to create shader");
        Util::UtilFunctions::glError();
        return NO_STAGE;
    }
    if (source == nullptr) {
        source = "";
    }
    if (prefix != nullptr) {
        char const* texts[2] = {prefix, source};
        glShaderSource(shader, 2, texts, nullptr);
    } else {
        glShaderSource(shader, 1, &source, nullptr);
    }
    glCompileShader(shader);
    GLint status = 0;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &status);

    unsigned int result = shader;
    if (status == 0 || glIsShader(shader) == GL_FALSE) {
        std::string const info = shaderInfoLog(shader);
        log->Fatal("Error while compiling the shader");
        log->Message("ShaderType: ", stageName(type), nullptr);
        log->Message("\nMessage:\n", info.c_str(), nullptr);
        glDeleteShader(shader);
        result = NO_STAGE;
    }

    switch (type) {
    case GL_VERTEX_SHADER:
        vertexShader = result;
        break;
    case GL_TESS_CONTROL_SHADER:
        tessControlShader = result;
        break;
    case GL_TESS_EVALUATION_SHADER:
        tessEvaluationShader = result;
        break;
    case GL_GEOMETRY_SHADER:
        geometryShader = result;
        break;
    case GL_FRAGMENT_SHADER:
        fragmentShader = result;
        break;
    default:
        break;
    }
    return result;
}

void Shader::loadStages(char const* vertex, char const* tessControl, char const* tessEvaluation,
                        char const* geometry, char const* fragment, bool fromSource) {
    struct Stage {
        char const* text;
        unsigned int type;
    };
    Stage const stages[] = {{vertex, GL_VERTEX_SHADER},
                            {tessControl, GL_TESS_CONTROL_SHADER},
                            {tessEvaluation, GL_TESS_EVALUATION_SHADER},
                            {geometry, GL_GEOMETRY_SHADER},
                            {fragment, GL_FRAGMENT_SHADER}};
    for (Stage const& stage : stages) {
        if (stage.text == nullptr) {
            continue;
        }
        if (fromSource) {
            LoadShader(stage.text, stage.type);
        } else {
            LoadShaderFile(stage.text, stage.type);
        }
    }
}

void Shader::CreateProgram() {
    if (vertexShader == NO_STAGE || fragmentShader == NO_STAGE) {
        return;
    }
    program = glCreateProgram();
    if (program == 0) {
        Logger::Instance()->Fatal("Unable to create program");
        Util::UtilFunctions::glError();
        return;
    }
    glAttachShader(program, vertexShader);
    if (geometryShader != NO_STAGE) {
        glAttachShader(program, geometryShader);
    }
    if (tessEvaluationShader != NO_STAGE) {
        glAttachShader(program, tessEvaluationShader);
    }
    if (tessControlShader != NO_STAGE) {
        glAttachShader(program, tessControlShader);
    }
    glAttachShader(program, fragmentShader);
}

void Shader::bindOutput(char const* name, unsigned int location) {
    if (program != 0) {
        glBindFragDataLocation(program, location, name);
    }
}

void Shader::bindFragDataLocation() {
    bindOutput("fragColor", 0);
}

void Shader::bindAttribLocation() {
    if (program == 0) {
        return;
    }
    glBindAttribLocation(program, HANDLE_VERTEX, "vertex");
    glBindAttribLocation(program, HANDLE_DIFFUSE_UV, "diffuseUV");
    glBindAttribLocation(program, HANDLE_NORMAL, "normal");
    glBindAttribLocation(program, HANDLE_DIFFUSE_TANGENT, "diffuseTangent");
    glBindAttribLocation(program, HANDLE_SMOOTH_NORMAL, "smoothNormal");
    glBindAttribLocation(program, HANDLE_DISPLACEMENT_UV, "displacementUV");
    glBindAttribLocation(program, HANDLE_DISPLACEMENT_TANGENT, "displacementTangent");
    glBindAttribLocation(program, HANDLE_NORMAL_UV, "normalUV");
}

void Shader::linkProgram() {
    if (program != 0) {
        glLinkProgram(program);
        GLint status = 0;
        glGetProgramiv(program, GL_LINK_STATUS, &status);
        linked = status != 0;
        if (!linked) {
            Logger* log = Logger::Instance();
            log->Fatal("Failed to link the shader program");
            std::string const info = programInfoLog(program);
            log->Message("Message:\n", info.c_str(), nullptr);
        }
    }
    deleteShaders();
}

bool Shader::linkWithPlainOutput() {
    CreateProgram();
    if (program == 0) {
        deleteShaders();
        return false;
    }
    Shader::bindFragDataLocation();
    bindAttribLocation();
    linkProgram();
    return true;
}

void Shader::deleteShaders() {
    unsigned int* stages[] = {&vertexShader, &fragmentShader, &geometryShader,
                              &tessEvaluationShader, &tessControlShader};
    for (unsigned int* stage : stages) {
        if (*stage != NO_STAGE) {
            // Detached, the stage object is freed now rather than with the
            // program; the linked program keeps working without it.
            if (program != 0) {
                glDetachShader(program, *stage);
            }
            glDeleteShader(*stage);
            *stage = NO_STAGE;
        }
    }
}

int Shader::uniformLocation(char const* name) const {
    if (program == 0 || !linked) {
        return -1;
    }
    return glGetUniformLocation(program, name);
}

void Shader::bindUniformLocation() {
    colorTextureLocation = uniformLocation("colorTexture");
    diffuseColorLocation = uniformLocation("diffuseColor");
    emitLocation = uniformLocation("emit");
    depthTextureLocation = uniformLocation("depthTexture");
    matrixLocation = uniformLocation("matrix");
    cameraMatrixLocation = uniformLocation("cameraMatrix");
    normalTextureLocation = uniformLocation("normalTexture");
    cameraLocationLocation = uniformLocation("cameraLocation");
    billBoardSizeLocation = uniformLocation("billBoardSize");
    specularColorLocation = uniformLocation("specularColor");
    shininessLocation = uniformLocation("shininess");
    displacementTextureLocation = uniformLocation("displacementTexture");
}

void Shader::Activate() {
    // A program that failed to link cannot be used; it stays inert.
    if (program == 0 || !linked) {
        return;
    }
    glUseProgram(program);
    setMatrix(cameraMatrixLocation, lastCameraMatrix);
}

void Shader::Deactivate() {
    glUseProgram(0);
}

void Shader::SetCameraMatrix(Math::Mat4f const& matrix) {
    lastCameraMatrix = matrix;
}

void Shader::BindArrayToVertex(Math::Vec4f* vertices) const {
    glEnableVertexAttribArray(HANDLE_VERTEX);
    glVertexAttribPointer(HANDLE_VERTEX, 4, GL_FLOAT, GL_FALSE, 0, vertices);
}

void Shader::UnbindArrayAtVertex() const {
    glDisableVertexAttribArray(HANDLE_VERTEX);
}

void Shader::SetMatrix(Math::Mat4f const& matrix) const {
    setMatrix(matrixLocation, matrix);
}

void Shader::SetDiffuseColor(Math::Vec3f const& color) const {
    setVec3(diffuseColorLocation, color.GetGlVector());
}

void Shader::SetEmit(float emit) const {
    setFloat(emitLocation, emit);
}

void Shader::SetSpecularColor(Math::Vec3f const& color) const {
    setVec3(specularColorLocation, color.GetGlVector());
}

void Shader::SetShininess(unsigned int shininess) const {
    if (shininessLocation != -1) {
        glUniform1ui(shininessLocation, shininess);
    }
}

void Shader::SetCameraLocation(Math::Vec4f const& location) const {
    setVec4(cameraLocationLocation, location);
}

void Shader::SetBillBoardSize(Math::Vec2f const& size) const {
    setVec2(billBoardSizeLocation, size);
}

void Shader::bindTexture(int location, unsigned int unit, unsigned int texture) const {
    if (location == -1) {
        return;
    }
    glActiveTexture(GL_TEXTURE0 + unit);
    glBindTexture(GL_TEXTURE_2D, texture);
    glUniform1i(location, static_cast<GLint>(unit));
}

void Shader::SetDiffuseTexture(Util::SharedPointer<Scene::TextureData> const& texture) const {
    // A shared pointer whose data is gone (only store references left) has none.
    SetDiffuseTexture(texture.GetCounter() != nullptr ? texture.operator->() : nullptr);
}

void Shader::SetDiffuseTexture(Scene::TextureData* texture) const {
    if (texture != nullptr) {
        bindTexture(colorTextureLocation, Scene::TextureData::DIFFUSE_UNIT, texture->Texture());
    }
}

void Shader::SetNormalTexture(Scene::TextureData* texture) const {
    if (texture != nullptr) {
        bindTexture(normalTextureLocation, Scene::TextureData::NORMAL_UNIT, texture->Texture());
    }
}

void Shader::SetDisplacementTexture(Scene::TextureData* texture) const {
    if (texture != nullptr) {
        bindTexture(displacementTextureLocation, Scene::TextureData::DISPLACEMENT_UNIT,
                    texture->Texture());
    }
}

void Shader::SetDepthTexture(CDFrameBuffer* target) const {
    if (target != nullptr) {
        bindTexture(depthTextureLocation, DEPTH_UNIT, target->getDepthTexID());
    }
}

void Shader::setInt(int location, int value) {
    if (location != -1) {
        glUniform1i(location, value);
    }
}

void Shader::setFloat(int location, float value) {
    if (location != -1) {
        glUniform1f(location, value);
    }
}

void Shader::setVec2(int location, Math::Vec2f const& value) {
    if (location != -1) {
        glUniform2fv(location, 1, value.GetGlVector());
    }
}

void Shader::setVec3(int location, float const* value) {
    if (location != -1) {
        glUniform3fv(location, 1, value);
    }
}

void Shader::setVec4(int location, Math::Vec4f const& value) {
    if (location != -1) {
        glUniform4fv(location, 1, value.GetGlVector());
    }
}

void Shader::setMatrix(int location, Math::Mat4f const& value) {
    if (location != -1) {
        glUniformMatrix4fv(location, 1, GL_FALSE, value.GetGlMatrix());
    }
}

} // namespace Engine::Render::Shader
