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
    mat3 normalMatrix = mat3(transpose(inverse(matrix)));
    vPosition = (matrix * vertex).xyz;
    vNormal = normalMatrix * normal;
    vSmoothNormal = normalMatrix * smoothNormal;
    vTangent = vec4(mat3(matrix) * diffuseTangent.xyz, diffuseTangent.w);
    vUV = diffuseUV;
    vBumpUV = normalUV;
    vDisplacementUV = displacementUV;
}
