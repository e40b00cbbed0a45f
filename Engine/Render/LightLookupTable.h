#pragma once

#include <Engine/Export.h>

namespace Engine::Render {

// The precomputed light-scattering integral as two float textures, with the
// value ranges needed to decode them and the medium's density (beta), which
// the lighting pass also uses as the optical thickness of the air.
//
// From the two tables it derives the phase table that the scattering pass
// reads: (1 - g) A + g B for the phase function's g (PhaseG), in one float
// texture, its rows indexed by sigma = x / (1 + |x|) instead of by eta, where
// x = tan(2 eta - pi / 2) is a point's offset along the view ray from the
// foot of the perpendicular, over the light's distance from the ray. A
// lookup then takes one read and one division instead of two reads and an
// arctangent; sigma and eta are close to proportional, so the rows are
// resampled at twice the tables' height with little loss.
class ENGINE_API LightLookupTable {
public:
    // The phase function's g, (1 + g cos theta) / (4 pi): forward scattering.
    static constexpr float PhaseG = 0.4f;

    LightLookupTable(float* tableA, float* tableB, float maxAValue, float maxBValue, float minAB,
                     float maxAB, float minC, float maxC, float beta, unsigned short width,
                     unsigned short height);
    ~LightLookupTable();
    LightLookupTable(LightLookupTable const&) = delete;
    LightLookupTable& operator=(LightLookupTable const&) = delete;

    void bindLookupTexA() const;
    void bindLookupTexB() const;
    float getMaxAValue() const { return maxAValue; }
    float getMaxBValue() const { return maxBValue; }
    float getMinAB() const { return minAB; }
    float getMaxAB() const { return maxAB; }
    float getMinC() const { return minC; }
    float getMaxC() const { return maxC; }
    float getBeta() const { return beta; }
    unsigned int TableA() const { return tableA; }
    unsigned int TableB() const { return tableB; }
    // The phase table (GL_R32F, columns as the tables', rows over sigma from
    // getMinSigma() to getMaxSigma()), none for empty tables.
    void bindPhaseTex() const;
    unsigned int PhaseTable() const { return phaseTable; }
    float getMinSigma() const { return minSigma; }
    float getMaxSigma() const { return maxSigma; }

private:
    void makePhaseTable(float const* a, float const* b);

    unsigned int tableA = 0;
    unsigned int tableB = 0;
    unsigned int phaseTable = 0;
    float maxAValue;
    float maxBValue;
    float minAB;
    float maxAB;
    float minC;
    float maxC;
    unsigned short width;
    unsigned short height;
    float beta;
    float minSigma = -1.0f;
    float maxSigma = 1.0f;
};

} // namespace Engine::Render
