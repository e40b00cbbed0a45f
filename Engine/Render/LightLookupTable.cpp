#include <Engine/Render/Internal/TextureSetup.h>
#include <Engine/Render/LightLookupTable.h>
#include <GL/glew.h>

namespace Engine::Render {

namespace {

void uploadTable(unsigned int& texture, float const* data, int width, int height) {
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT32, width, height, 0, GL_DEPTH_COMPONENT,
                 GL_FLOAT, data);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_R, GL_CLAMP);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
    glBindTexture(GL_TEXTURE_2D, 0);
}

} // namespace

LightLookupTable::LightLookupTable(float* a, float* b, float maxA, float maxB, float minAb,
                                   float maxAb, float minc, float maxc, float betaValue,
                                   unsigned short w, unsigned short h)
    : maxAValue(maxA), maxBValue(maxB), minAB(minAb), maxAB(maxAb), minC(minc), maxC(maxc),
      width(w), height(h), beta(betaValue) {
    uploadTable(tableA, a, width, height);
    uploadTable(tableB, b, width, height);
}

LightLookupTable::~LightLookupTable() {
    TextureSetup::deleteTexture(tableA);
    TextureSetup::deleteTexture(tableB);
}

void LightLookupTable::bindLookupTexA() const {
    glBindTexture(GL_TEXTURE_2D, tableA);
}

void LightLookupTable::bindLookupTexB() const {
    glBindTexture(GL_TEXTURE_2D, tableB);
}

} // namespace Engine::Render
