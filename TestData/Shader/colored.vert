#version 400
// Colour-only deferred material: transforms the vertex to clip space and hands
// the world-space normal to the fragment stage.

uniform mat4 matrix;       // object to world
uniform mat4 cameraMatrix; // world to clip

in vec4 vertex;
in vec3 normal;

out vec3 worldNormal;

void main() {
    worldNormal = transpose(inverse(mat3(matrix))) * normal;
    gl_Position = cameraMatrix * (matrix * vertex);
}
