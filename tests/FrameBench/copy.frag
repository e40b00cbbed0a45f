#version 400 core
// Baseline of the benchmark: one textured full-screen pass.

in vec2 texCoord;
out vec4 fragColor;

uniform sampler2D colorTexture;

void main() {
    fragColor = vec4(texture(colorTexture, texCoord).rgb, 1.0);
}
