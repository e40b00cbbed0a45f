#version 400 core
// Constant-colour material: world-space normal for the G-buffer.

in vec4 vertex;
in vec3 normal;

uniform mat4 matrix;       // model to world
uniform mat4 cameraMatrix; // world to clip

out vec3 worldNormal;

void main() {
    // The normal matrix: the cofactors of the model matrix's 3 x 3, its
    // inverse transpose times its determinant, whose sign keeps a mirrored
    // surface's normals outward (the length is normalised later).
    mat3 m = mat3(matrix);
    mat3 normalMatrix = mat3(cross(m[1], m[2]), cross(m[2], m[0]), cross(m[0], m[1])) *
                        (determinant(m) < 0.0 ? -1.0 : 1.0);
    worldNormal = normalMatrix * normal;
    gl_Position = cameraMatrix * (matrix * vertex);
}
