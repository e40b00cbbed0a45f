// Shadow-map pass, vertex stage. The prefix supplies the #version line and
// CUBEMAP (a point light's cube map, faces emitted by the geometry stage) or
// GODRAYSPOT (a god-ray spot light; same encoding as a plain spot light).
//
// Encoding written by this pass (read by illumination.frag and shadowGauss.frag):
// - spot lights: d = (|P - wsLightPos| - near) / (far - near), clamped to
//   [0, 1], the radial distance to the light normalised with nearAndFarPlane;
//   the moment-2 map stores both moments, d in red and d * d in green.
//   Cleared texels read d = 1, d * d = 1 (nothing in the way). The depth
//   attachment keeps the projection's own depth, for the depth test only:
//   along each texel's ray from the light it orders surfaces as d does, so
//   the nearest surface is the same.
// - point lights: the cube map's depth stores |P - wsLightPos| / far.

in vec4 vertex;

uniform mat4 matrix;       // model to world
uniform mat4 cameraMatrix; // world to the light's clip space (spot lights)

out vec3 worldPosition;

void main() {
    vec4 world = matrix * vertex;
    worldPosition = world.xyz;
#ifdef CUBEMAP
    gl_Position = world; // the geometry stage projects into each face
#else
    gl_Position = cameraMatrix * world;
#endif
}
