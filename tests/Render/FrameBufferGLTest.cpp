#include "Support/GLContext.h"
#include "Support/Output.h"

#include <Engine/Render/CDFrameBuffer.h>
#include <Engine/Render/ColorFrameBuffer.h>
#include <Engine/Render/DeferredFrameBuffer.h>
#include <Engine/Render/EffectPlane.h>
#include <Engine/Render/Shader/PostprocessingShader.h>
#include <Engine/Render/ShadowCubeMapFrameBuffer.h>
#include <Engine/Render/ShadowMapFrameBuffer.h>
#include <GL/glew.h>
#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace Engine::Render;
using TestSupport::captureStdout;

namespace {

GLint boundFramebuffer() {
    GLint value = -1;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &value);
    return value;
}

GLint texParameter(GLenum target, GLuint texture, GLenum name) {
    glBindTexture(target, texture);
    GLint value = 0;
    glGetTexParameteriv(target, name, &value);
    glBindTexture(target, 0);
    return value;
}

GLint internalFormat(GLuint texture) {
    glBindTexture(GL_TEXTURE_2D, texture);
    GLint value = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &value);
    glBindTexture(GL_TEXTURE_2D, 0);
    return value;
}

// Name and kind of the object attached at attachment of the bound framebuffer.
GLint attachedName(GLenum attachment) {
    GLint value = 0;
    glGetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER, attachment,
                                          GL_FRAMEBUFFER_ATTACHMENT_OBJECT_NAME, &value);
    return value;
}

// A bare framebuffer without attachments, to see check() report it.
class BareFrameBuffer : public FrameBuffer {
public:
    GLuint id() const { return getFrameBufferID(); }
};

} // namespace

class FrameBufferGLTest : public TestSupport::GLTest {};

TEST_F(FrameBufferGLTest, CheckOnACompleteTargetPrintsNothingAndUnbinds) {
    ColorFrameBuffer target;
    target.init(8, 8, true);
    EXPECT_NE(boundFramebuffer(), 0) << "init leaves the target bound";
    const std::string out = captureStdout([&] { target.check(); });
    EXPECT_EQ(out, "");
    EXPECT_EQ(boundFramebuffer(), 0);
}

TEST_F(FrameBufferGLTest, CheckOnAnIncompleteTargetPrintsTheReason) {
    BareFrameBuffer target;
    target.init(8, 8);
    EXPECT_EQ(boundFramebuffer(), static_cast<GLint>(target.id()));
    const std::string out = captureStdout([&] { target.check(); });
    EXPECT_EQ(out, "fehler beim erstell des frambuffers/textur: 'Missing attachment'\n");
    EXPECT_EQ(boundFramebuffer(), 0);
}

TEST_F(FrameBufferGLTest, EnableBindsAndSetsTheViewport) {
    ColorFrameBuffer target;
    target.init(24, 12, false);
    target.check();
    target.enable();
    GLint viewport[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 24);
    EXPECT_EQ(viewport[3], 12);
    EXPECT_NE(boundFramebuffer(), 0);
    GLint drawBuffer = 0;
    glGetIntegerv(GL_DRAW_BUFFER, &drawBuffer);
    EXPECT_EQ(drawBuffer, GL_COLOR_ATTACHMENT0);
    target.disable();
    EXPECT_EQ(boundFramebuffer(), 0);
}

TEST_F(FrameBufferGLTest, ColorTargetFormatAndFilters) {
    ColorFrameBuffer nearest;
    nearest.mipMapOn();
    nearest.init(16, 16, false);
    nearest.check();
    const GLuint tex = nearest.getColorTexID();
    EXPECT_EQ(internalFormat(tex), GL_RGBA16F);
    EXPECT_EQ(texParameter(GL_TEXTURE_2D, tex, GL_TEXTURE_MIN_FILTER), GL_NEAREST);
    EXPECT_EQ(texParameter(GL_TEXTURE_2D, tex, GL_TEXTURE_MAG_FILTER), GL_NEAREST);
    EXPECT_EQ(texParameter(GL_TEXTURE_2D, tex, GL_TEXTURE_WRAP_S), GL_CLAMP_TO_EDGE);
    EXPECT_EQ(texParameter(GL_TEXTURE_2D, tex, GL_TEXTURE_WRAP_T), GL_CLAMP_TO_EDGE);

    ColorFrameBuffer mipmapped;
    mipmapped.mipMapOn();
    mipmapped.init(16, 16, true);
    mipmapped.check();
    EXPECT_EQ(texParameter(GL_TEXTURE_2D, mipmapped.getColorTexID(), GL_TEXTURE_MIN_FILTER),
              GL_LINEAR_MIPMAP_NEAREST);

    ColorFrameBuffer linear;
    linear.init(16, 16, true);
    linear.check();
    EXPECT_EQ(texParameter(GL_TEXTURE_2D, linear.getColorTexID(), GL_TEXTURE_MIN_FILTER),
              GL_LINEAR);
    EXPECT_EQ(texParameter(GL_TEXTURE_2D, linear.getColorTexID(), GL_TEXTURE_MAG_FILTER),
              GL_LINEAR);
}

TEST_F(FrameBufferGLTest, MipmapsAreRegeneratedOnceAfterEachPass) {
    ColorFrameBuffer target;
    target.mipMapOn();
    target.init(8, 8, true);
    target.check();

    target.enable();
    glClearColor(0.25f, 0.5f, 0.75f, 1.0f);
    target.clearAll();
    target.disable();
    EXPECT_TRUE(target.mipMapDirty());
    target.bindColorTex();
    EXPECT_FALSE(target.mipMapDirty());
    // The 1 x 1 level now holds the cleared colour.
    float texel[4] = {0, 0, 0, 0};
    glGetTexImage(GL_TEXTURE_2D, 3, GL_RGBA, GL_FLOAT, texel);
    EXPECT_FLOAT_EQ(texel[0], 0.25f);
    EXPECT_FLOAT_EQ(texel[2], 0.75f);

    // A second bind without a pass in between does not regenerate: overwrite
    // the top level by hand and see that it survives.
    const float marker[4] = {9.0f, 9.0f, 9.0f, 9.0f};
    glTexSubImage2D(GL_TEXTURE_2D, 3, 0, 0, 1, 1, GL_RGBA, GL_FLOAT, marker);
    target.bindColorTex();
    glGetTexImage(GL_TEXTURE_2D, 3, GL_RGBA, GL_FLOAT, texel);
    EXPECT_FLOAT_EQ(texel[0], 9.0f);

    // The next pass makes it due again.
    target.enable();
    target.clearAll();
    target.disable();
    target.bindColorTex();
    glGetTexImage(GL_TEXTURE_2D, 3, GL_RGBA, GL_FLOAT, texel);
    EXPECT_FLOAT_EQ(texel[0], 0.25f);
    glBindTexture(GL_TEXTURE_2D, 0);
    glClearColor(0, 0, 0, 0);
}

TEST_F(FrameBufferGLTest, UnbindColorTexChangesNothing) {
    ColorFrameBuffer target;
    target.init(4, 4, false);
    target.check();
    target.bindColorTex();
    target.unbindColorTex();
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(bound, static_cast<GLint>(target.getColorTexID()));
    glBindTexture(GL_TEXTURE_2D, 0);
}

TEST_F(FrameBufferGLTest, ColorDepthTargetHasADepthTexture) {
    CDFrameBuffer target;
    target.init(32, 16, true);
    EXPECT_EQ(attachedName(GL_COLOR_ATTACHMENT0), static_cast<GLint>(target.getColorTexID()));
    EXPECT_EQ(attachedName(GL_DEPTH_ATTACHMENT), static_cast<GLint>(target.getDepthTexID()));
    GLint bound = -1;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(bound, 0) << "the depth texture is unbound after init";
    EXPECT_EQ(captureStdout([&] { target.check(); }), "");
    EXPECT_EQ(internalFormat(target.getDepthTexID()), GL_DEPTH_COMPONENT24);
    EXPECT_EQ(texParameter(GL_TEXTURE_2D, target.getDepthTexID(), GL_TEXTURE_MIN_FILTER),
              GL_NEAREST);

    target.enable();
    glClearDepth(0.5);
    target.clearAll();
    glClearDepth(1.0);
    float depth = 0.0f;
    glReadPixels(3, 3, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
    EXPECT_NEAR(depth, 0.5f, 1e-5f);
    target.disable();
}

TEST_F(FrameBufferGLTest, GBufferTargetsAndDrawBuffers) {
    DeferredFrameBuffer gbuffer;
    gbuffer.init(40, 30);
    EXPECT_EQ(attachedName(GL_DEPTH_ATTACHMENT), static_cast<GLint>(gbuffer.DepthTexID()));
    EXPECT_EQ(attachedName(GL_COLOR_ATTACHMENT0), static_cast<GLint>(gbuffer.DiffuseColorTexID()));
    EXPECT_EQ(attachedName(GL_COLOR_ATTACHMENT1), static_cast<GLint>(gbuffer.SpecularColorTexID()));
    EXPECT_EQ(attachedName(GL_COLOR_ATTACHMENT2), static_cast<GLint>(gbuffer.NormalTexID()));
    EXPECT_EQ(attachedName(GL_COLOR_ATTACHMENT3), static_cast<GLint>(gbuffer.EmitTexID()));
    EXPECT_EQ(captureStdout([&] { gbuffer.check(); }), "");

    EXPECT_EQ(internalFormat(gbuffer.DepthTexID()), GL_DEPTH_COMPONENT24);
    EXPECT_EQ(internalFormat(gbuffer.DiffuseColorTexID()), GL_SRGB8_ALPHA8);
    EXPECT_EQ(internalFormat(gbuffer.SpecularColorTexID()), GL_RGBA8);
    EXPECT_EQ(internalFormat(gbuffer.NormalTexID()), GL_RGBA16F);
    EXPECT_EQ(internalFormat(gbuffer.EmitTexID()), GL_R16F);
    for (GLuint tex : {gbuffer.DepthTexID(), gbuffer.DiffuseColorTexID(),
                       gbuffer.SpecularColorTexID(), gbuffer.NormalTexID(), gbuffer.EmitTexID()}) {
        EXPECT_EQ(texParameter(GL_TEXTURE_2D, tex, GL_TEXTURE_MIN_FILTER), GL_NEAREST);
        EXPECT_EQ(texParameter(GL_TEXTURE_2D, tex, GL_TEXTURE_WRAP_S), GL_CLAMP_TO_EDGE);
    }

    gbuffer.enable();
    for (int i = 0; i < 4; ++i) {
        GLint drawBuffer = 0;
        glGetIntegerv(GL_DRAW_BUFFER0 + i, &drawBuffer);
        EXPECT_EQ(drawBuffer, GL_COLOR_ATTACHMENT0 + i);
    }
    GLint viewport[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 40);
    EXPECT_EQ(viewport[3], 30);
    gbuffer.disable();
    EXPECT_EQ(boundFramebuffer(), 0);
}

TEST_F(FrameBufferGLTest, GBufferStoresDiffuseColourGammaEncoded) {
    DeferredFrameBuffer gbuffer;
    gbuffer.init(4, 4);
    gbuffer.check();
    gbuffer.enable();
    // With sRGB writes on, a linear 0.2 is stored encoded (about 124/255).
    glEnable(GL_FRAMEBUFFER_SRGB);
    const float linear[4] = {0.2f, 0.2f, 0.2f, 1.0f};
    glClearBufferfv(GL_COLOR, 0, linear);
    gbuffer.disable();
    unsigned char stored[4 * 16] = {};
    gbuffer.bindDiffuseColorTex();
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, stored);
    glBindTexture(GL_TEXTURE_2D, 0);
    EXPECT_NEAR(stored[0], 124, 2);
}

TEST_F(FrameBufferGLTest, ShadowMapWithDepthAttachment) {
    ShadowMapFrameBuffer target(true);
    target.init(64, 64, true);
    EXPECT_EQ(attachedName(GL_DEPTH_ATTACHMENT), static_cast<GLint>(target.getDepthMapTexID()));
    EXPECT_EQ(attachedName(GL_COLOR_ATTACHMENT0), static_cast<GLint>(target.getMoment2MapTexID()));
    EXPECT_EQ(captureStdout([&] { target.check(); }), "");
    EXPECT_EQ(internalFormat(target.getDepthMapTexID()), GL_DEPTH_COMPONENT32);
    EXPECT_EQ(internalFormat(target.getMoment2MapTexID()), GL_RG32F);
    EXPECT_EQ(texParameter(GL_TEXTURE_2D, target.getMoment2MapTexID(), GL_TEXTURE_WRAP_R),
              GL_CLAMP_TO_EDGE);
    // Before its first pass the maps read as "far" (depth and both moments
    // 1), not as whatever the memory held.
    std::vector<float> texels(64 * 64, -1.0f);
    glBindTexture(GL_TEXTURE_2D, target.getDepthMapTexID());
    glGetTexImage(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT, GL_FLOAT, texels.data());
    EXPECT_EQ(*std::min_element(texels.begin(), texels.end()), 1.0f);
    std::vector<float> moments(64 * 64 * 2, -1.0f);
    glBindTexture(GL_TEXTURE_2D, target.getMoment2MapTexID());
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RG, GL_FLOAT, moments.data());
    EXPECT_EQ(*std::min_element(moments.begin(), moments.end()), 1.0f);
    glBindTexture(GL_TEXTURE_2D, 0);
    target.enable();
    GLint drawBuffer = 0;
    glGetIntegerv(GL_DRAW_BUFFER, &drawBuffer);
    EXPECT_EQ(drawBuffer, GL_COLOR_ATTACHMENT0);
    target.disable();
}

TEST_F(FrameBufferGLTest, ShadowMapOfMoments) {
    // Both moments in one two-channel map at attachment 0, read as "far"
    // before the first pass; no separate moment-2 map.
    ShadowMapFrameBuffer target(false);
    target.init(32, 32, false);
    EXPECT_EQ(attachedName(GL_COLOR_ATTACHMENT0), static_cast<GLint>(target.getDepthMapTexID()));
    EXPECT_EQ(target.getMoment2MapTexID(), 0u);
    EXPECT_EQ(captureStdout([&] { target.check(); }), "");
    EXPECT_EQ(internalFormat(target.getDepthMapTexID()), GL_RG32F);
    std::vector<float> texels(32 * 32 * 2, -1.0f);
    glBindTexture(GL_TEXTURE_2D, target.getDepthMapTexID());
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RG, GL_FLOAT, texels.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    EXPECT_EQ(*std::min_element(texels.begin(), texels.end()), 1.0f);
    target.enable();
    GLint drawBuffer = 0;
    glGetIntegerv(GL_DRAW_BUFFER0, &drawBuffer);
    EXPECT_EQ(drawBuffer, GL_COLOR_ATTACHMENT0);
    target.disable();
}

TEST_F(FrameBufferGLTest, ShadowCubeMapClearsEveryFaceAndStaysLayered) {
    ShadowCubeMapFrameBuffer target;
    target.init(8, 8, false);
    EXPECT_EQ(captureStdout([&] { target.check(); }), "");
    const GLuint cube = target.getDepthCubMapTexID();
    EXPECT_EQ(texParameter(GL_TEXTURE_CUBE_MAP, cube, GL_TEXTURE_COMPARE_MODE),
              GL_COMPARE_REF_TO_TEXTURE);
    EXPECT_EQ(texParameter(GL_TEXTURE_CUBE_MAP, cube, GL_TEXTURE_COMPARE_FUNC), GL_LEQUAL);
    EXPECT_EQ(texParameter(GL_TEXTURE_CUBE_MAP, cube, GL_TEXTURE_WRAP_R), GL_CLAMP_TO_EDGE);

    target.enable();
    glClearDepth(0.25);
    target.clearAll();
    glClearDepth(1.0);
    GLint layered = GL_FALSE;
    glGetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT,
                                          GL_FRAMEBUFFER_ATTACHMENT_LAYERED, &layered);
    EXPECT_EQ(layered, GL_TRUE);
    target.disable();

    target.bindDepthCubMapTex();
    std::vector<float> face(64, 0.0f);
    for (int i = 0; i < 6; ++i) {
        glGetTexImage(GL_TEXTURE_CUBE_MAP_POSITIVE_X + i, 0, GL_DEPTH_COMPONENT, GL_FLOAT,
                      face.data());
        EXPECT_NEAR(face[0], 0.25f, 1e-5f) << "face " << i;
        EXPECT_NEAR(face[63], 0.25f, 1e-5f) << "face " << i;
    }
    glBindTexture(GL_TEXTURE_CUBE_MAP, 0);
}

TEST_F(FrameBufferGLTest, DestructionDeletesTheGLObjects) {
    GLuint fb = 0;
    GLuint textures[5] = {};
    {
        DeferredFrameBuffer gbuffer;
        gbuffer.init(4, 4);
        gbuffer.check();
        gbuffer.enable();
        glGetIntegerv(GL_FRAMEBUFFER_BINDING, reinterpret_cast<GLint*>(&fb));
        gbuffer.disable();
        textures[0] = gbuffer.DepthTexID();
        textures[1] = gbuffer.DiffuseColorTexID();
        textures[2] = gbuffer.SpecularColorTexID();
        textures[3] = gbuffer.NormalTexID();
        textures[4] = gbuffer.EmitTexID();
        EXPECT_TRUE(glIsFramebuffer(fb));
    }
    EXPECT_FALSE(glIsFramebuffer(fb));
    for (GLuint tex : textures) {
        EXPECT_FALSE(glIsTexture(tex));
    }
}

TEST_F(FrameBufferGLTest, EffectPlaneFeedsAttributeZero) {
    EffectPlane plane;
    glBindBuffer(GL_ARRAY_BUFFER, plane.VertexBuffer());
    GLint size = 0;
    glGetBufferParameteriv(GL_ARRAY_BUFFER, GL_BUFFER_SIZE, &size);
    EXPECT_EQ(size, 48);
    float vertices[12] = {};
    glGetBufferSubData(GL_ARRAY_BUFFER, 0, sizeof vertices, vertices);
    const float expected[12] = {-1, -1, 1, -1, -1, 1, 1, 1, -1, 1, 1, -1};
    for (int i = 0; i < 12; ++i) {
        EXPECT_EQ(vertices[i], expected[i]) << i;
    }
    glBindBuffer(GL_ARRAY_BUFFER, 0);

    plane.enableVertexBO();
    GLint value = 0;
    glGetVertexAttribiv(0, GL_VERTEX_ATTRIB_ARRAY_ENABLED, &value);
    EXPECT_EQ(value, 1);
    glGetVertexAttribiv(0, GL_VERTEX_ATTRIB_ARRAY_SIZE, &value);
    EXPECT_EQ(value, 2);
    glGetVertexAttribiv(0, GL_VERTEX_ATTRIB_ARRAY_BUFFER_BINDING, &value);
    EXPECT_EQ(static_cast<GLuint>(value), plane.VertexBuffer());
    glGetIntegerv(GL_ARRAY_BUFFER_BINDING, &value);
    EXPECT_EQ(value, 0) << "the buffer is unbound again";
    plane.disableVertexBO();
    glGetVertexAttribiv(0, GL_VERTEX_ATTRIB_ARRAY_ENABLED, &value);
    EXPECT_EQ(value, 0);
}

TEST_F(FrameBufferGLTest, AMissingShaderFileLeavesThePassInert) {
    const std::string out = captureStdout([] {
        Engine::Render::Shader::PostprocessingShader shader("missing.vert", "missing.frag");
        EXPECT_EQ(shader.getProgramHandle(), 0);
        shader.Activate();
        GLint program = -1;
        glGetIntegerv(GL_CURRENT_PROGRAM, &program);
        EXPECT_EQ(program, 0);
        shader.SetOperationMode(1);
    });
    EXPECT_NE(out.find("Unable to open filestream"), std::string::npos);
    EXPECT_NE(out.find("File: missing.vert"), std::string::npos);
}
