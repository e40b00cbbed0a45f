#version 400 core
// Diffuse texture with a tangent-space normal map: passes the world-space
// tangent frame (tangent.w is the bitangent's handedness).

in vec4 vertex;
in vec3 normal;
in vec2 diffuseUV;
in vec4 diffuseTangent;
in vec2 normalUV;

uniform mat4 matrix;
uniform mat4 cameraMatrix;

out vec3 worldNormal;
out vec4 worldTangent;
out vec2 uv;
out vec2 bumpUV;

void main() {
    // The normal matrix: the cofactors of the model matrix's 3 x 3, its
    // inverse transpose times its determinant, whose sign keeps a mirrored
    // surface's normals outward (the length is normalised later).
    mat3 m = mat3(matrix);
    mat3 normalMatrix = mat3(cross(m[1], m[2]), cross(m[2], m[0]), cross(m[0], m[1])) *
                        (determinant(m) < 0.0 ? -1.0 : 1.0);
    worldNormal = normalMatrix * normal;
    worldTangent = vec4(mat3(matrix) * diffuseTangent.xyz, diffuseTangent.w);
    uv = diffuseUV;
    bumpUV = normalUV;
    gl_Position = cameraMatrix * (matrix * vertex);
}
