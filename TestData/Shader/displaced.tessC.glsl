#version 400
// Displaced deferred material: splits every triangle with a fixed level.

layout(vertices = 3) out;

const float LEVEL = 8.0;

in vec3 controlPosition[];
in vec3 controlNormal[];
in vec3 controlSmoothNormal[];
in vec2 controlColorCoord[];
in vec2 controlDisplacementCoord[];

out vec3 evalPosition[];
out vec3 evalNormal[];
out vec3 evalSmoothNormal[];
out vec2 evalColorCoord[];
out vec2 evalDisplacementCoord[];

void main() {
    evalPosition[gl_InvocationID] = controlPosition[gl_InvocationID];
    evalNormal[gl_InvocationID] = controlNormal[gl_InvocationID];
    evalSmoothNormal[gl_InvocationID] = controlSmoothNormal[gl_InvocationID];
    evalColorCoord[gl_InvocationID] = controlColorCoord[gl_InvocationID];
    evalDisplacementCoord[gl_InvocationID] = controlDisplacementCoord[gl_InvocationID];
    if (gl_InvocationID == 0) {
        gl_TessLevelOuter[0] = LEVEL;
        gl_TessLevelOuter[1] = LEVEL;
        gl_TessLevelOuter[2] = LEVEL;
        gl_TessLevelInner[0] = LEVEL;
    }
}
