#version 400 core
// Full-screen pass of the tone mapper (as quad.vert), which also reads the
// adapted luminance and the show flags once per vertex: the exposure and the
// weights of the four images are the same for every pixel, so they reach the
// fragments as flat values instead of being fetched and checked for each.

in vec2 vertex;

out vec2 texCoord;
flat out float exposure;
// The weights of the plain colour, the plain glow, the tone-mapped colour and
// the tone-mapped glow: 1 for each image shown, times the fade to black.
flat out vec4 weights;

uniform sampler2D lumTexture; // 1 x 1 adapted luminance in .r
uniform int HDRshowColor;
uniform int HDRshowGlow;
uniform int HDRshowToneMappedColor;
uniform int HDRshowToneMappedGlow;
uniform float HDRfade2Black;

// Middle grey that the adapted luminance is mapped to.
const float keyValue = 0.18;

void main() {
    float adapted = texelFetch(lumTexture, ivec2(0), 0).r;
    if (isnan(adapted) || isinf(adapted) || adapted <= 0.0) {
        adapted = keyValue;
    }
    exposure = keyValue / max(adapted, 0.001);
    weights = vec4(HDRshowColor != 0, HDRshowGlow != 0, HDRshowToneMappedColor != 0,
                   HDRshowToneMappedGlow != 0) *
              HDRfade2Black;
    texCoord = vertex * 0.5 + 0.5;
    gl_Position = vec4(vertex, 0.0, 1.0);
}
