#version 400
// Textured deferred material: passes the texture coordinates of the diffuse
// and normal maps and the world-space tangent frame to the fragment stage.

uniform mat4 matrix;       // object to world
uniform mat4 cameraMatrix; // world to clip

in vec4 vertex;
in vec3 normal;
in vec2 diffuseUV;
in vec4 diffuseTangent; // w: handedness of the texture frame
in vec2 normalUV;

out vec3 worldNormal;
out vec4 worldTangent;
out vec2 colorCoord;
out vec2 normalCoord;

void main() {
    mat3 normalMatrix = transpose(inverse(mat3(matrix)));
    worldNormal = normalMatrix * normal;
    worldTangent = vec4(mat3(matrix) * diffuseTangent.xyz, diffuseTangent.w);
    colorCoord = diffuseUV;
    normalCoord = normalUV;
    gl_Position = cameraMatrix * (matrix * vertex);
}
