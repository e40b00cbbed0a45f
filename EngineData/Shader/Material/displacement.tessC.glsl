#version 400 core
// Tessellation levels from the distance to the camera: each edge's level
// depends only on its own end points, so neighbouring patches agree and the
// surface has no cracks.

layout(vertices = 3) out;

in vec3 vPosition[];
in vec3 vNormal[];
in vec3 vSmoothNormal[];
in vec4 vTangent[];
in vec2 vUV[];
in vec2 vBumpUV[];
in vec2 vDisplacementUV[];

uniform mat4 cameraMatrix;

out vec3 tcPosition[];
out vec3 tcNormal[];
out vec3 tcSmoothNormal[];
out vec4 tcTangent[];
out vec2 tcUV[];
out vec2 tcBumpUV[];
out vec2 tcDisplacementUV[];

const float maxLevel = 16.0;
// Distance at which an edge gets one segment per world unit of length x 4.
const float detail = 24.0;

float edgeLevel(vec3 a, vec3 b) {
    vec4 mid = cameraMatrix * vec4(0.5 * (a + b), 1.0);
    float distance = max(mid.w, 0.1); // view depth
    return clamp(detail * length(a - b) / distance, 1.0, maxLevel);
}

void main() {
    tcPosition[gl_InvocationID] = vPosition[gl_InvocationID];
    tcNormal[gl_InvocationID] = vNormal[gl_InvocationID];
    tcSmoothNormal[gl_InvocationID] = vSmoothNormal[gl_InvocationID];
    tcTangent[gl_InvocationID] = vTangent[gl_InvocationID];
    tcUV[gl_InvocationID] = vUV[gl_InvocationID];
    tcBumpUV[gl_InvocationID] = vBumpUV[gl_InvocationID];
    tcDisplacementUV[gl_InvocationID] = vDisplacementUV[gl_InvocationID];
    if (gl_InvocationID == 0) {
        // Outer level i is the edge opposite vertex i.
        gl_TessLevelOuter[0] = edgeLevel(vPosition[1], vPosition[2]);
        gl_TessLevelOuter[1] = edgeLevel(vPosition[2], vPosition[0]);
        gl_TessLevelOuter[2] = edgeLevel(vPosition[0], vPosition[1]);
        gl_TessLevelInner[0] =
            max(gl_TessLevelOuter[0], max(gl_TessLevelOuter[1], gl_TessLevelOuter[2]));
    }
}
