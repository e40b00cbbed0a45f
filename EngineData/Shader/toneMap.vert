#version 400 core
// Full-screen pass of the tone mapper (as quad.vert), which also reads the
// adapted luminance once per vertex: the exposure is the same for every
// pixel, so it reaches the fragments as a flat value instead of being
// fetched and checked for each of them.

in vec2 vertex;

out vec2 texCoord;
flat out float exposure;

uniform sampler2D lumTexture; // 1 x 1 adapted luminance in .r

// Middle grey that the adapted luminance is mapped to.
const float keyValue = 0.18;

void main() {
    float adapted = texelFetch(lumTexture, ivec2(0), 0).r;
    if (isnan(adapted) || isinf(adapted) || adapted <= 0.0) {
        adapted = keyValue;
    }
    exposure = keyValue / max(adapted, 0.001);
    texCoord = vertex * 0.5 + 0.5;
    gl_Position = vec4(vertex, 0.0, 1.0);
}
