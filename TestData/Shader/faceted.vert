#version 400
// Faceted deferred material: hands world-space positions to the geometry
// stage, which gives each triangle its face normal.

uniform mat4 matrix; // object to world

in vec4 vertex;

out vec4 worldPosition;

void main() {
    worldPosition = matrix * vertex;
}
