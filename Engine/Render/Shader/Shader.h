#pragma once

#include <Engine/Export.h>
#include <Engine/Math/Mat4f.h>
#include <Engine/Math/Vec2f.h>
#include <Engine/Math/Vec3f.h>
#include <Engine/Math/Vec4f.h>
#include <Engine/Util/SharedPointer.h>
#include <string>

namespace Engine::Scene {
class TextureData;
} // namespace Engine::Scene

namespace Engine::Render {
class CDFrameBuffer;
} // namespace Engine::Render

namespace Engine::Render::Shader {

// Base of every GLSL program of the engine: compiles up to five stages from
// files or source text, links them with the fixed vertex attribute locations,
// looks up the uniforms that materials and meshes use once, and uploads values
// only to uniforms the program really has. Derived classes bind their own
// fragment outputs and look up their own uniforms.
class ENGINE_API Shader {
public:
    // Vertex attribute locations, bound by name in every program.
    static constexpr unsigned int HANDLE_VERTEX = 0;
    static constexpr unsigned int HANDLE_DIFFUSE_UV = 1;
    static constexpr unsigned int HANDLE_NORMAL = 2;
    static constexpr unsigned int HANDLE_DIFFUSE_TANGENT = 3;
    static constexpr unsigned int HANDLE_SMOOTH_NORMAL = 4;
    static constexpr unsigned int HANDLE_DISPLACEMENT_UV = 5;
    static constexpr unsigned int HANDLE_NORMAL_UV = 6;
    static constexpr unsigned int HANDLE_DISPLACEMENT_TANGENT = 7;

    // Stage handle meaning "no shader object".
    static constexpr unsigned int NO_STAGE = 0xFFFFFFFFu;

    // Primitive modes meshes of a program are drawn with.
    static constexpr unsigned int PRIMITIVE_TRIANGLES = 4; // GL_TRIANGLES
    static constexpr unsigned int PRIMITIVE_QUADS = 7;     // GL_QUADS
    static constexpr unsigned int PRIMITIVE_PATCHES = 14;  // GL_PATCHES

    ~Shader();
    // A copy would share and later delete the same GL program.
    Shader(Shader const&) = delete;
    Shader& operator=(Shader const&) = delete;

    // Uses the program (if it was built) and uploads the camera matrix last
    // given to SetCameraMatrix.
    void Activate();
    void Deactivate();
    // Stored for the next Activate of any shader; uploads nothing itself.
    static void SetCameraMatrix(Math::Mat4f const& matrix);
    static Math::Mat4f const& LastCameraMatrix() { return lastCameraMatrix; }

    unsigned short Id() const { return id; }
    Shader* Id(unsigned short value) {
        id = value;
        return this;
    }
    unsigned int PrimitiveType() const { return primitiveType; }
    // The GL program name, 0 when none could be created.
    int getProgramHandle() const { return static_cast<int>(program); }
    // True when the program was created and linked.
    bool IsLinked() const { return linked; }

    // Attribute "vertex" reads tightly packed Vec4f from client memory.
    void BindArrayToVertex(Math::Vec4f* vertices) const;
    void UnbindArrayAtVertex() const;

    // Uniform setters; each does nothing when the program lacks the uniform.
    void SetMatrix(Math::Mat4f const& matrix) const;
    void SetDiffuseColor(Math::Vec3f const& color) const;
    void SetEmit(float emit) const;
    void SetSpecularColor(Math::Vec3f const& color) const;
    void SetShininess(unsigned int shininess) const;
    void SetCameraLocation(Math::Vec4f const& location) const;
    void SetBillBoardSize(Math::Vec2f const& size) const;
    // Texture setters bind on the fixed units of TextureData.
    void SetDiffuseTexture(Util::SharedPointer<Scene::TextureData> const& texture) const;
    void SetDiffuseTexture(Scene::TextureData* texture) const;
    void SetNormalTexture(Scene::TextureData* texture) const;
    void SetDisplacementTexture(Scene::TextureData* texture) const;
    // Binds a colour-and-depth target's depth texture on unit DEPTH_UNIT.
    void SetDepthTexture(CDFrameBuffer* target) const;

    static constexpr unsigned int DEPTH_UNIT = 2;

protected:
    explicit Shader(unsigned int primitiveType);

    // Compile one stage from a file or from source text, optionally preceded
    // by a prefix (typically a #version line and defines). Return the shader
    // object, or NO_STAGE on failure.
    // The whole text of a shader file; logs the path and returns false when
    // it cannot be opened.
    static bool readShaderText(char const* path, std::string& text);
    unsigned int LoadShaderFile(char const* path, unsigned int type);
    unsigned int LoadShaderFile(char const* path, unsigned int type, char const* prefix);
    unsigned int LoadShader(char const* source, unsigned int type);
    unsigned int LoadShader(char const* source, unsigned int type, char const* prefix);

    // Construction steps, called in this order by every constructor after
    // the stages are loaded: CreateProgram, the class's bindFragDataLocation,
    // bindAttribLocation, linkProgram, the class's bindUniformLocation.
    void CreateProgram();
    void bindAttribLocation();
    void bindFragDataLocation();
    void linkProgram();
    void bindUniformLocation();
    void deleteShaders();
    // The construction steps for a program with the single output "fragColor":
    // creates, binds and links it. False when no program could be created;
    // the stages are freed then and the shader stays inert. The caller looks
    // up its uniforms after a true result.
    bool linkWithPlainOutput();

    // The location of a uniform of the linked program, -1 when it has none.
    int uniformLocation(char const* name) const;
    int uniformLocation(std::string const& name) const { return uniformLocation(name.c_str()); }
    // Binds a fragment output before the link; nothing without a program.
    void bindOutput(char const* name, unsigned int location);
    // Loads the stages a constructor was given: file paths, or source text
    // when fromSource is set. Null arguments are stages the program lacks.
    void loadStages(char const* vertex, char const* tessControl, char const* tessEvaluation,
                    char const* geometry, char const* fragment, bool fromSource);
    // Binds a texture on a unit and points a sampler uniform at it.
    void bindTexture(int location, unsigned int unit, unsigned int texture) const;
    // Uploads to a uniform of the program in use; nothing for location -1
    // (a uniform the program lacks).
    static void setInt(int location, int value);
    static void setFloat(int location, float value);
    static void setVec2(int location, Math::Vec2f const& value);
    // The first three components of value.
    static void setVec3(int location, float const* value);
    static void setVec4(int location, Math::Vec4f const& value);
    static void setMatrix(int location, Math::Mat4f const& value);

    int colorTextureLocation = -1;
    int depthTextureLocation = -1;
    unsigned short id = 0;
    unsigned int vertexShader = NO_STAGE;
    unsigned int tessControlShader = NO_STAGE;
    unsigned int tessEvaluationShader = NO_STAGE;
    unsigned int geometryShader = NO_STAGE;
    unsigned int fragmentShader = NO_STAGE;
    unsigned int program = 0;
    int matrixLocation = -1;
    int cameraMatrixLocation = -1;
    int diffuseColorLocation = -1;
    int emitLocation = -1;
    int normalTextureLocation = -1;
    int cameraLocationLocation = -1;
    int billBoardSizeLocation = -1;
    int specularColorLocation = -1;
    int shininessLocation = -1;
    int displacementTextureLocation = -1;
    unsigned int primitiveType;
    bool linked = false;

private:
    void initShaderHandles();

    static Math::Mat4f lastCameraMatrix;
};

} // namespace Engine::Render::Shader
