#version 400 core
// Light scattering, fragment stage: the scattered light interpolated from the
// refined grid, added to the lit scene by the pass's blending. In wireframe
// mode a faint tint keeps the grid's lines visible outside the beams.

in vec3 scattered;

uniform float wireframe;

out vec4 fragColor;

void main() {
    fragColor = vec4(scattered + wireframe * vec3(0.02, 0.03, 0.05), 1.0);
}
