// Shadow-map blur, fragment stage: one direction of a separable Gaussian
// (sigma 1.5 texels, 9 taps as 5 bilinear reads) over both moments of a
// spot light's variance shadow map.
//
// operationMode 1: horizontal, reading the map rendered from the light: the
// first moment d from the depth attachment (depthTexture.r), the second from
// moment2Texture.a (encoding: see ShadowMap.vert).
// operationMode 2: vertical, reading the first pass's float targets: d from
// depthTexture.a, d * d from moment2Texture.a.
// Output: fragDepth.a = filtered d, fragMoment2.a = filtered d * d; the
// lighting reads both from the alpha channels of the blurred target.

uniform sampler2D depthTexture;
uniform sampler2D moment2Texture;
uniform vec2 sampleSize; // one texel
uniform int operationMode;

in vec2 texCoord;

out vec4 fragMoment2;
out vec4 fragDepth;

// Offsets and weights of the 9-tap kernel folded into bilinear reads.
const float offsets[3] = float[](0.0, 1.3846153846, 3.2307692308);
const float weights[3] = float[](0.2270270270, 0.3162162162, 0.0702702703);

vec2 moments(vec2 uv) {
    float d = operationMode == 1 ? texture(depthTexture, uv).r : texture(depthTexture, uv).a;
    return vec2(d, texture(moment2Texture, uv).a);
}

void main() {
    vec2 step = operationMode == 1 ? vec2(sampleSize.x, 0.0) : vec2(0.0, sampleSize.y);
    vec2 sum = moments(texCoord) * weights[0];
    for (int i = 1; i < 3; ++i) {
        sum += (moments(texCoord + step * offsets[i]) + moments(texCoord - step * offsets[i])) *
               weights[i];
    }
    fragDepth = vec4(sum.x);
    fragMoment2 = vec4(sum.y);
}
