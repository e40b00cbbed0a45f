#include <Engine/Render/Internal/TextureSetup.h>
#include <Engine/Render/LightLookupTable.h>
#include <GL/glew.h>
#include <algorithm>
#include <cmath>
#include <vector>

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

constexpr double Pi = 3.14159265358979323846;

// sigma = x / (1 + |x|) of eta, x = tan(2 eta - pi / 2); -1 and 1 at the
// ends of (0, pi / 2).
double sigmaOfEta(double eta) {
    const double xi = 2.0 * eta - 0.5 * Pi;
    if (xi <= -0.5 * Pi) {
        return -1.0;
    }
    if (xi >= 0.5 * Pi) {
        return 1.0;
    }
    const double x = std::tan(xi);
    return x / (1.0 + std::fabs(x));
}

double etaOfSigma(double sigma) {
    if (sigma <= -1.0) {
        return 0.0;
    }
    if (sigma >= 1.0) {
        return 0.5 * Pi;
    }
    return 0.25 * Pi + 0.5 * std::atan(sigma / (1.0 - std::fabs(sigma)));
}

} // namespace

LightLookupTable::LightLookupTable(float* a, float* b, float maxA, float maxB, float minAb,
                                   float maxAb, float minc, float maxc, float betaValue,
                                   unsigned short w, unsigned short h)
    : maxAValue(maxA), maxBValue(maxB), minAB(minAb), maxAB(maxAb), minC(minc), maxC(maxc),
      width(w), height(h), beta(betaValue) {
    uploadTable(tableA, a, width, height);
    uploadTable(tableB, b, width, height);
    makePhaseTable(a, b);
}

void LightLookupTable::makePhaseTable(float const* a, float const* b) {
    if (width == 0 || height == 0) {
        return;
    }
    // Rows over sigma, each read from the tables' rows over eta (linearly
    // between the two nearest, clamped at the ends as the sampler would).
    const int columns = width;
    const int rows = 2 * height;
    minSigma = static_cast<float>(sigmaOfEta(minC));
    maxSigma = static_cast<float>(sigmaOfEta(maxC));
    std::vector<float> phase(static_cast<size_t>(columns) * static_cast<size_t>(rows), 0.0f);
    const double etaRange = static_cast<double>(maxC) - static_cast<double>(minC);
    for (int row = 0; row < rows; ++row) {
        const double sigma =
            minSigma + (static_cast<double>(maxSigma) - minSigma) * row / std::max(rows - 1, 1);
        const double at =
            etaRange > 0.0 ? (etaOfSigma(sigma) - minC) / etaRange * (height - 1) : 0.0;
        const double clamped = std::clamp(at, 0.0, static_cast<double>(height - 1));
        const int low = static_cast<int>(clamped);
        const int high = std::min(low + 1, height - 1);
        const double f = clamped - low;
        for (int column = 0; column < columns; ++column) {
            auto value = [&](int sourceRow) {
                const size_t i = static_cast<size_t>(sourceRow) * columns + column;
                return (1.0 - PhaseG) * a[i] * maxAValue + PhaseG * b[i] * maxBValue;
            };
            phase[static_cast<size_t>(row) * columns + column] =
                static_cast<float>(value(low) * (1.0 - f) + value(high) * f);
        }
    }
    glGenTextures(1, &phaseTable);
    glBindTexture(GL_TEXTURE_2D, phaseTable);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_R32F, columns, rows, 0, GL_RED, GL_FLOAT, phase.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glBindTexture(GL_TEXTURE_2D, 0);
}

LightLookupTable::~LightLookupTable() {
    TextureSetup::deleteTexture(tableA);
    TextureSetup::deleteTexture(tableB);
    TextureSetup::deleteTexture(phaseTable);
}

void LightLookupTable::bindLookupTexA() const {
    glBindTexture(GL_TEXTURE_2D, tableA);
}

void LightLookupTable::bindLookupTexB() const {
    glBindTexture(GL_TEXTURE_2D, tableB);
}

void LightLookupTable::bindPhaseTex() const {
    glBindTexture(GL_TEXTURE_2D, phaseTable);
}

} // namespace Engine::Render
