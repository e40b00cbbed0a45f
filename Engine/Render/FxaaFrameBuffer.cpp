#include <Engine/Render/EffectPlane.h>
#include <Engine/Render/FxaaFrameBuffer.h>
#include <Engine/Render/Internal/ShaderPaths.h>
#include <Engine/Render/Internal/TextureSetup.h>
#include <Engine/Render/Shader/PostprocessingShader.h>
#include <GL/glew.h>

namespace Engine::Render {

namespace {
// Passes of the edge walk after the neighbourhood's (steps 1 and 2, then
// 3.5, 5.5, 9.5 and 21.5 texels to either side; see fxaa.frag).
const int EdgeSearchSteps = 5;
} // namespace

FxaaFrameBuffer::FxaaFrameBuffer()
    : shader(new Shader::PostprocessingShader(ShaderPaths::QuadVert, ShaderPaths::FxaaFrag)) {}

FxaaFrameBuffer::~FxaaFrameBuffer() {
    TextureSetup::deleteTexture(perceptualView);
    TextureSetup::deleteTexture(colorTexture);
    delete shader;
}

void FxaaFrameBuffer::init(int w, int h, EffectPlane* effectPlane) {
    FrameBuffer::init(w, h);
    initColorTex(true);
    plane = effectPlane;
    sampleSize = Math::Vec2f(1.0f / static_cast<float>(w), 1.0f / static_cast<float>(h));
}

void FxaaFrameBuffer::initColorTex(bool filter) {
    // Fixed-size storage, so that a second view can share it.
    TextureSetup::deleteTexture(perceptualView);
    TextureSetup::deleteTexture(colorTexture);
    glGenTextures(1, &colorTexture);
    glBindTexture(GL_TEXTURE_2D, colorTexture);
    glTexStorage2D(GL_TEXTURE_2D, 1, GL_SRGB8_ALPHA8, width, height);
    TextureSetup::setFilter(GL_TEXTURE_2D, filter, mipmap);
    TextureSetup::clampToEdge(GL_TEXTURE_2D, false);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, colorTexture, 0);

    // The same bytes read as plain RGBA8, for the luma in alpha (which sRGB
    // leaves linear): FXAA's many luma reads then decode nothing, and only
    // its two colour reads go through the sRGB texture.
    glGenTextures(1, &perceptualView);
    glTextureView(perceptualView, GL_TEXTURE_2D, colorTexture, GL_RGBA8, 0, 1, 0, 1);
    glBindTexture(GL_TEXTURE_2D, perceptualView);
    TextureSetup::setFilter(GL_TEXTURE_2D, filter, false);
    TextureSetup::clampToEdge(GL_TEXTURE_2D, false);
    glBindTexture(GL_TEXTURE_2D, 0);
}

void FxaaFrameBuffer::enable() {
    bind();
    glDrawBuffer(GL_COLOR_ATTACHMENT0);
    setViewport();
    markMipmapsDue();
}

void FxaaFrameBuffer::clearAll() {
    glClear(GL_COLOR_BUFFER_BIT);
}

void FxaaFrameBuffer::bindLumaTex() {
    glBindTexture(GL_TEXTURE_2D, perceptualView);
}

void FxaaFrameBuffer::bindColorTex() {
    bindForSampling(GL_TEXTURE_2D, colorTexture);
}

void FxaaFrameBuffer::draw() {
    shader->Activate();
    plane->enableVertexBO();
    shader->SetDiffuseTexture(this);
    shader->SetSamplingSampleSize(sampleSize);
    shader->SetEdgeSearchSteps(EdgeSearchSteps);
    plane->draw(shader);
    plane->disableVertexBO();
    glUseProgram(0);
}

} // namespace Engine::Render
