#version 400 core
// Displacement-mapped material, first stage: world-space attributes for the
// tessellation stages.

in vec4 vertex;
in vec3 normal;
in vec3 smoothNormal;
in vec2 diffuseUV;
in vec4 diffuseTangent;
in vec2 normalUV;
in vec2 displacementUV;

uniform mat4 matrix;

out vec3 vPosition;
out vec3 vNormal;
out vec3 vSmoothNormal;
out vec4 vTangent;
out vec2 vUV;
out vec2 vBumpUV;
out vec2 vDisplacementUV;

void main() {
    // The normal matrix: the cofactors of the model matrix's 3 x 3, its
    // inverse transpose times its determinant, whose sign keeps a mirrored
    // surface's normals outward (the length is normalised later).
    mat3 m = mat3(matrix);
    mat3 normalMatrix = mat3(cross(m[1], m[2]), cross(m[2], m[0]), cross(m[0], m[1])) *
                        (determinant(m) < 0.0 ? -1.0 : 1.0);
    vPosition = (matrix * vertex).xyz;
    vNormal = normalMatrix * normal;
    vSmoothNormal = normalMatrix * smoothNormal;
    vTangent = vec4(mat3(matrix) * diffuseTangent.xyz, diffuseTangent.w);
    vUV = diffuseUV;
    vBumpUV = normalUV;
    vDisplacementUV = displacementUV;
}
