#version 400
// Displaced deferred material: passes object-space vertex data to the
// tessellation stages.

in vec4 vertex;
in vec3 normal;
in vec3 smoothNormal;
in vec2 diffuseUV;
in vec2 displacementUV;

out vec3 controlPosition;
out vec3 controlNormal;
out vec3 controlSmoothNormal;
out vec2 controlColorCoord;
out vec2 controlDisplacementCoord;

void main() {
    controlPosition = vertex.xyz / vertex.w;
    controlNormal = normal;
    controlSmoothNormal = smoothNormal;
    controlColorCoord = diffuseUV;
    controlDisplacementCoord = displacementUV;
}
