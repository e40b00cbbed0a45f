#include <Engine/Render/EffectPlane.h>
#include <Engine/Render/FxaaFrameBuffer.h>
#include <Engine/Render/Internal/ShaderPaths.h>
#include <Engine/Render/Internal/TextureSetup.h>
#include <Engine/Render/Shader/PostprocessingShader.h>
#include <GL/glew.h>

namespace Engine::Render {

FxaaFrameBuffer::FxaaFrameBuffer()
    : shader(new Shader::PostprocessingShader(ShaderPaths::QuadVert, ShaderPaths::FxaaFrag)) {}

FxaaFrameBuffer::~FxaaFrameBuffer() {
    TextureSetup::deleteTexture(colorTexture);
    delete shader;
}

void FxaaFrameBuffer::init(int w, int h, EffectPlane* effectPlane) {
    FrameBuffer::init(w, h);
    mipmap = false;
    initColorTex(true);
    plane = effectPlane;
    sampleSize = Math::Vec2f(1.0f / static_cast<float>(w), 1.0f / static_cast<float>(h));
}

void FxaaFrameBuffer::initColorTex(bool filter) {
    TextureSetup::create2D(colorTexture, width, height, GL_SRGB8_ALPHA8, GL_RGBA, GL_UNSIGNED_BYTE);
    TextureSetup::setFilter(GL_TEXTURE_2D, filter, mipmap);
    TextureSetup::clampToEdge(GL_TEXTURE_2D, false);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, colorTexture, 0);
}

void FxaaFrameBuffer::enable() {
    bind();
    glDrawBuffer(GL_COLOR_ATTACHMENT0);
    setViewport();
    mipmapDirty = true;
}

void FxaaFrameBuffer::clearAll() {
    glClear(GL_COLOR_BUFFER_BIT);
}

void FxaaFrameBuffer::bindColorTex() {
    glBindTexture(GL_TEXTURE_2D, colorTexture);
    if (mipmap && mipmapDirty) {
        glGenerateMipmap(GL_TEXTURE_2D);
        mipmapDirty = false;
    }
}

void FxaaFrameBuffer::draw() {
    shader->Activate();
    plane->enableVertexBO();
    shader->SetDiffuseTexture(this);
    shader->SetSamplingSampleSize(sampleSize);
    plane->draw(shader);
    plane->disableVertexBO();
    glUseProgram(0);
}

} // namespace Engine::Render
