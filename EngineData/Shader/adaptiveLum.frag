#version 400 core
// Eye adaptation, rendered into a 1 x 1 target. The scene's average colour is
// the top mipmap level of the HDR colour's small averaged copy; its luminance
// is blended towards the value adapted in the last frame at a rate that
// depends on the frame time, so the speed of adaptation does not depend on
// the frame rate. The result is stored
// as log-free linear luminance in .r.

in vec2 texCoord;
out vec4 fragColor;

uniform sampler2D lumTexture;            // averaged HDR colour with mipmaps
uniform sampler2D lastAdaptedLumTexture; // 1 x 1, last frame's result
uniform int mipmapLevel;
uniform vec2 sampleSize;                 // used when the target has no mipmaps
uniform float frameTime;                 // seconds since the last frame
uniform int operationMode;

// Time constant of the adaptation in seconds.
const float adaptationTime = 0.5;
const float minLum = 0.001;
const float maxLum = 1000.0;

float luminance(vec3 c) {
    return dot(c, vec3(0.2126, 0.7152, 0.0722));
}

bool valid(float v) {
    return !(isnan(v) || isinf(v));
}

void main() {
    vec3 average;
    if (mipmapLevel > 0) {
        average = textureLod(lumTexture, vec2(0.5), float(mipmapLevel)).rgb;
    } else {
        // Small target without a useful mipmap chain: average a 2 x 2 block.
        average = 0.25 * (texture(lumTexture, vec2(0.5) - 0.5 * sampleSize).rgb +
                          texture(lumTexture, vec2(0.5) + 0.5 * sampleSize).rgb +
                          texture(lumTexture, vec2(0.5) + vec2(0.5, -0.5) * sampleSize).rgb +
                          texture(lumTexture, vec2(0.5) + vec2(-0.5, 0.5) * sampleSize).rgb);
    }
    float current = luminance(average);
    if (!valid(current)) {
        current = minLum;
    }
    current = clamp(current, minLum, maxLum);

    // The 1 x 1 target starts undefined; alpha 1 marks a value we wrote, so a
    // first frame (or a value that went bad) starts at the current luminance.
    vec4 last = texture(lastAdaptedLumTexture, vec2(0.5));
    float adapted;
    if (last.a != 1.0 || !valid(last.r) || last.r < minLum || last.r > maxLum ||
        operationMode == 0) {
        adapted = current;
    } else {
        float dt = valid(frameTime) ? max(frameTime, 0.0) : 0.0;
        float weight = 1.0 - exp(-dt / adaptationTime);
        adapted = mix(last.r, current, weight);
    }
    fragColor = vec4(adapted, current, 0.0, 1.0);
}
