#version 400 core
// Glow chain. operationMode 0: bright pass of the averaged HDR colour (the
// 128 x 128 downsample, whose mipmaps give the 64 x 64 average); 1:
// horizontal and 2: vertical separable Gaussian blur, stepping by sampleSize
// (one texel of the target).
// The software rasteriser runs every branch for every pixel, so the three
// modes share one sampling path: the blur direction is zero in mode 0 (all
// taps read the same point and the weights sum to 1), and the 9-tap kernel
// is folded into 5 bilinear taps between texel pairs.

in vec2 texCoord;
out vec4 fragColor;

uniform sampler2D colorTexture;
uniform int operationMode;
uniform vec2 sampleSize;

// Brightness above which a pixel glows, and how strongly.
const float brightThreshold = 1.0;
const float glowStrength = 0.5;

// 9-tap kernel, sigma of about 2 texels, weights 0.2270270270, 0.1945945946,
// 0.1216216216, 0.0540540541, 0.0162162162 (sum 1). Neighbouring taps 1 and 2,
// 3 and 4 are read as one linear sample each at their weighted mean offset.
const float centerWeight = 0.2270270270;
const float pairWeights[2] = float[](0.3162162162, 0.0702702703);
const float pairOffsets[2] = float[](1.3846153846, 3.2307692308);

void main() {
    // The source's mipmap level of the target's size, so that in mode 0
    // every HDR pixel contributes; 0 for the blur steps, whose source has no
    // mipmaps.
    vec2 sourceSize = vec2(textureSize(colorTexture, 0));
    float level = max(0.0, log2(max(sourceSize.x, sourceSize.y) * sampleSize.x));
    vec2 direction = operationMode == 1   ? vec2(sampleSize.x, 0.0)
                     : operationMode == 2 ? vec2(0.0, sampleSize.y)
                                          : vec2(0.0);

    vec3 c = textureLod(colorTexture, texCoord, level).rgb * centerWeight;
    for (int i = 0; i < 2; ++i) {
        vec2 offset = direction * pairOffsets[i];
        c += textureLod(colorTexture, texCoord + offset, level).rgb * pairWeights[i];
        c += textureLod(colorTexture, texCoord - offset, level).rgb * pairWeights[i];
    }

    if (operationMode == 0) {
        c = clamp(c, vec3(0.0), vec3(1.0e4)); // keeps NaN and Inf out of the chain
        float l = dot(c, vec3(0.2126, 0.7152, 0.0722));
        c = l > brightThreshold ? c * ((l - brightThreshold) / l) * glowStrength : vec3(0.0);
    }
    fragColor = vec4(c, 1.0);
}
