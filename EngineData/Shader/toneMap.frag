#version 400 core
// Tone mapping of the HDR colour and the glow to displayable colour. The
// exposure comes from the adapted luminance; the operator is a filmic curve
// (Hable's). The four show flags add the plain or tone-mapped images, and
// HDRfade2Black scales the result (0 gives black). Alpha carries the
// perceptual luma of the result (the square root of its linear luma), which
// the FXAA pass reads instead of computing it for every sample. The HDR
// target has the size of the output, so its colour is fetched texel by texel
// (no filtering and no mipmap level to choose). The exposure and the weights
// of the four images come from the vertex stage (toneMap.vert).

in vec2 texCoord;
flat in float exposure;
flat in vec4 weights;
out vec4 fragColor;

uniform sampler2D colorTexture; // HDR colour
uniform sampler2D glowTexture;
uniform int operationMode;

// The largest finite half float: infinities are kept out, so that an image
// with weight 0 adds nothing.
const float maxHalf = 65504.0;

const float whitePoint = 11.2;

vec3 filmic(vec3 x) {
    const float A = 0.15, B = 0.50, C = 0.10, D = 0.20, E = 0.02, F = 0.30;
    return ((x * (A * x + C * B) + D * E) / (x * (A * x + B) + D * F)) - E / F;
}

vec3 toneMap(vec3 c, float exposure) {
    vec3 mapped = filmic(c * exposure * 2.0) / filmic(vec3(whitePoint));
    return clamp(mapped, 0.0, 1.0);
}

void main() {
    vec3 color = clamp(texelFetch(colorTexture, ivec2(texCoord * vec2(textureSize(colorTexture, 0))), 0).rgb,
                       0.0, maxHalf);
    vec3 glow = clamp(texture(glowTexture, texCoord).rgb, 0.0, maxHalf);
    vec3 result = weights.x * color + weights.y * glow + weights.z * toneMap(color, exposure) +
                  weights.w * toneMap(glow, exposure);
    fragColor = vec4(result, sqrt(clamp(dot(result, vec3(0.299, 0.587, 0.114)), 0.0, 1.0)));
}
