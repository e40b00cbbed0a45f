#version 400 core
// Render-target inset: the vertices are the inset's corners in normalised
// device coordinates; texCoord spans the whole target across the inset.

in vec4 vertex;

out vec2 texCoord;

const vec2 insetMin = vec2(0.1);
const vec2 insetSize = vec2(0.8);

void main() {
    texCoord = (vertex.xy - insetMin) / insetSize;
    // In front of every overlay.
    gl_Position = vec4(vertex.xy, -1.0, 1.0);
}
