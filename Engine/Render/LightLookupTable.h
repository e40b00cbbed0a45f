#pragma once

#include <Engine/Export.h>

namespace Engine::Render {

// The precomputed light-scattering integral as two float textures, with the
// value ranges needed to decode them and the medium's density (beta), which
// the lighting pass also uses as the optical thickness of the air.
class ENGINE_API LightLookupTable {
public:
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

private:
    unsigned int tableA = 0;
    unsigned int tableB = 0;
    float maxAValue;
    float maxBValue;
    float minAB;
    float maxAB;
    float minC;
    float maxC;
    unsigned short width;
    unsigned short height;
    float beta;
};

} // namespace Engine::Render
