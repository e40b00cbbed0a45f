#version 400 core
// Diffuse-textured material.

in vec4 vertex;
in vec3 normal;
in vec2 diffuseUV;

uniform mat4 matrix;
uniform mat4 cameraMatrix;

out vec3 worldNormal;
out vec2 uv;

void main() {
    worldNormal = mat3(transpose(inverse(matrix))) * normal;
    uv = diffuseUV;
    gl_Position = cameraMatrix * (matrix * vertex);
}
