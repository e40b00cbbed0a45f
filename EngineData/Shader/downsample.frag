#version 400 core
// Box average of the HDR colour into a small target: each output texel
// averages the source texels under it, read as bilinear taps each centred
// between four texels (exact where the footprint is an even number of texels
// wide and high, as for 1024 x 768 into 128 x 128). The small target's own
// mipmaps then give the coarser averages the glow and the eye adaptation read.

in vec2 texCoord;
out vec4 fragColor;

uniform sampler2D colorTexture;
uniform vec2 sampleSize; // one texel of the target

void main() {
    vec2 sourceSize = vec2(textureSize(colorTexture, 0));
    // Source texels under one target texel, and taps (two texels wide each)
    // along both axes.
    vec2 footprint = sourceSize * sampleSize;
    ivec2 taps = max(ivec2(1), ivec2(ceil(footprint * 0.5 - 1.0e-3)));
    vec2 tapStep = footprint / vec2(taps) / sourceSize; // in texture coordinates
    vec2 first = texCoord - 0.5 * sampleSize + 0.5 * tapStep;

    vec3 sum = vec3(0.0);
    for (int y = 0; y < taps.y; ++y) {
        for (int x = 0; x < taps.x; ++x) {
            sum += textureLod(colorTexture, first + vec2(x, y) * tapStep, 0.0).rgb;
        }
    }
    // Bad values (NaN, Inf) pass through: the glow's bright pass and the
    // adaptation each keep them out of their results.
    fragColor = vec4(sum / float(taps.x * taps.y), 1.0);
}
