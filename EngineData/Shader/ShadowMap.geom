// Shadow cube-map pass, geometry stage (compiled with CUBEMAP): emits every
// triangle once into each of the six layers of the cube map, projected with
// that face's view (CubeMapMat[face] = perspective * face rotation * light
// translation, world to the face's clip space).

layout(triangles) in;
layout(triangle_strip, max_vertices = 18) out;

uniform mat4 CubeMapMat[6];

in vec3 worldPosition[];
out vec3 faceWorldPosition;

void main() {
    for (int face = 0; face < 6; ++face) {
        for (int i = 0; i < 3; ++i) {
            gl_Layer = face;
            faceWorldPosition = worldPosition[i];
            gl_Position = CubeMapMat[face] * vec4(worldPosition[i], 1.0);
            EmitVertex();
        }
        EndPrimitive();
    }
}
