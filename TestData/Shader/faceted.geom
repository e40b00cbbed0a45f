#version 400
// Faceted deferred material: one world-space face normal per triangle, then
// the triangle in clip space.

layout(triangles) in;
layout(triangle_strip, max_vertices = 3) out;

uniform mat4 cameraMatrix; // world to clip

in vec4 worldPosition[];

out vec3 worldNormal;

void main() {
    vec3 a = worldPosition[0].xyz;
    vec3 faceNormal = normalize(cross(worldPosition[1].xyz - a, worldPosition[2].xyz - a));
    for (int i = 0; i < 3; ++i) {
        worldNormal = faceNormal;
        gl_Position = cameraMatrix * worldPosition[i];
        EmitVertex();
    }
    EndPrimitive();
}
