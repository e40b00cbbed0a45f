// Shadow-map blur, fragment stage: one direction of a separable Gaussian
// (13 taps, sigma about 2.5 texels, as 7 bilinear reads) over both moments
// of a spot light's variance shadow map.
//
// operationMode 1: horizontal, reading both moments of the map rendered from
// the light from moment2Texture.rg (the depth attachment serves only the
// depth test; encoding: see ShadowMap.vert). The moments are filtered
// separately: where a bilinear read mixes two depths, the filtered first
// moment is their mean and the second moment keeps their spread.
// operationMode 2: vertical, reading the first pass's target: both moments
// from depthTexture.rg.
// With FIRST_PASS defined the program only does mode 1, and so never reads
// depthTexture: a software rasteriser would otherwise read it for the
// unused side of the choice.
// Output: fragMoments.rg = filtered (d, d * d), the lighting's moments map.

uniform sampler2D depthTexture;
uniform sampler2D moment2Texture;
uniform vec2 sampleSize; // one texel
uniform int operationMode;

in vec2 texCoord;

out vec4 fragMoments;

// Offsets and weights of the 13-tap kernel folded into bilinear reads.
const float offsets[4] = float[](0.0, 1.4117647059, 3.2941176471, 5.1764705882);
const float weights[4] = float[](0.1964825502, 0.2969069647, 0.0944703979, 0.0103813624);

#ifdef FIRST_PASS
const bool fromLightMap = true;
#else
bool fromLightMap = operationMode == 1;
#endif

vec2 moments(vec2 uv) {
    return fromLightMap ? texture(moment2Texture, uv).rg : texture(depthTexture, uv).rg;
}

void main() {
    vec2 step = fromLightMap ? vec2(sampleSize.x, 0.0) : vec2(0.0, sampleSize.y);
    vec2 sum = moments(texCoord) * weights[0];
    for (int i = 1; i < 4; ++i) {
        sum += (moments(texCoord + step * offsets[i]) + moments(texCoord - step * offsets[i])) *
               weights[i];
    }
    fragMoments = vec4(sum, 0.0, 1.0);
}
