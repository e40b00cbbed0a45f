#version 400 core
// Constant-colour material: world-space normal for the G-buffer.

in vec4 vertex;
in vec3 normal;

uniform mat4 matrix;       // model to world
uniform mat4 cameraMatrix; // world to clip

out vec3 worldNormal;

void main() {
    worldNormal = mat3(transpose(inverse(matrix))) * normal;
    gl_Position = cameraMatrix * (matrix * vertex);
}
