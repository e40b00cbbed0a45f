#version 400 core
// Glow chain. operationMode 0: bright pass and downsample of the HDR colour
// (the HDR target's mipmaps do the averaging); 1: horizontal and 2: vertical
// separable Gaussian blur, stepping by sampleSize (one texel of the target).

in vec2 texCoord;
out vec4 fragColor;

uniform sampler2D colorTexture;
uniform int operationMode;
uniform vec2 sampleSize;

// Brightness above which a pixel glows, and how strongly.
const float brightThreshold = 1.0;
const float glowStrength = 0.5;

// 9-tap kernel, sigma of about 2 texels, weights sum to 1.
const float weights[5] = float[](0.2270270270, 0.1945945946, 0.1216216216, 0.0540540541,
                                 0.0162162162);

vec3 blur(vec2 direction) {
    vec3 sum = texture(colorTexture, texCoord).rgb * weights[0];
    for (int i = 1; i < 5; ++i) {
        vec2 offset = direction * sampleSize * float(i);
        sum += texture(colorTexture, texCoord + offset).rgb * weights[i];
        sum += texture(colorTexture, texCoord - offset).rgb * weights[i];
    }
    return sum;
}

void main() {
    if (operationMode == 0) {
        // Read from a mipmap level near the target's size so that every HDR
        // pixel contributes.
        vec2 sourceSize = vec2(textureSize(colorTexture, 0));
        float level = max(0.0, log2(max(sourceSize.x, sourceSize.y) * sampleSize.x));
        vec3 c = textureLod(colorTexture, texCoord, level).rgb;
        c = clamp(c, vec3(0.0), vec3(1.0e4)); // keeps NaN and Inf out of the chain
        float l = dot(c, vec3(0.2126, 0.7152, 0.0722));
        vec3 bright = l > brightThreshold ? c * ((l - brightThreshold) / l) : vec3(0.0);
        fragColor = vec4(bright * glowStrength, 1.0);
    } else if (operationMode == 1) {
        fragColor = vec4(blur(vec2(1.0, 0.0)), 1.0);
    } else {
        fragColor = vec4(blur(vec2(0.0, 1.0)), 1.0);
    }
}
