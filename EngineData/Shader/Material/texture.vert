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
    // The normal matrix: the cofactors of the model matrix's 3 x 3, its
    // inverse transpose times its determinant, whose sign keeps a mirrored
    // surface's normals outward (the length is normalised later).
    mat3 m = mat3(matrix);
    mat3 normalMatrix = mat3(cross(m[1], m[2]), cross(m[2], m[0]), cross(m[0], m[1])) *
                        (determinant(m) < 0.0 ? -1.0 : 1.0);
    worldNormal = normalMatrix * normal;
    uv = diffuseUV;
    gl_Position = cameraMatrix * (matrix * vertex);
}
