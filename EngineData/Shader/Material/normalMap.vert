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
    mat3 normalMatrix = mat3(transpose(inverse(matrix)));
    worldNormal = normalMatrix * normal;
    worldTangent = vec4(mat3(matrix) * diffuseTangent.xyz, diffuseTangent.w);
    uv = diffuseUV;
    bumpUV = normalUV;
    gl_Position = cameraMatrix * (matrix * vertex);
}
