#version 400 core
// Tone mapping of the HDR colour and the glow to displayable colour. The
// exposure comes from the adapted luminance; the operator is a filmic curve
// (Hable's). The four show flags add the plain or tone-mapped images, and
// HDRfade2Black scales the result (0 gives black). Alpha carries the
// perceptual luma of the result (the square root of its linear luma), which
// the FXAA pass reads instead of computing it for every sample. The HDR
// target has the size of the output, so its colour is fetched texel by texel
// (no filtering and no mipmap level to choose). The exposure comes from the
// vertex stage (toneMap.vert), read once from the adapted luminance.

in vec2 texCoord;
flat in float exposure;
out vec4 fragColor;

uniform sampler2D colorTexture; // HDR colour
uniform sampler2D glowTexture;
uniform int operationMode;
uniform int HDRshowColor;
uniform int HDRshowGlow;
uniform int HDRshowToneMappedColor;
uniform int HDRshowToneMappedGlow;
uniform float HDRfade2Black;

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
    vec3 color = max(texelFetch(colorTexture, ivec2(texCoord * vec2(textureSize(colorTexture, 0))), 0).rgb, vec3(0.0));
    vec3 glow = max(texture(glowTexture, texCoord).rgb, vec3(0.0));

    vec3 result = vec3(0.0);
    if (HDRshowColor != 0) {
        result += color;
    }
    if (HDRshowGlow != 0) {
        result += glow;
    }
    if (HDRshowToneMappedColor != 0) {
        result += toneMap(color, exposure);
    }
    if (HDRshowToneMappedGlow != 0) {
        result += toneMap(glow, exposure);
    }
    result *= HDRfade2Black;
    fragColor = vec4(result, sqrt(clamp(dot(result, vec3(0.299, 0.587, 0.114)), 0.0, 1.0)));
}
