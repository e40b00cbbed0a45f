// Light scattering, vertex stage (compiled after godRayScattering.glsl): the
// grid's corners in normalised device coordinates go to the tessellation
// stages unchanged.

in vec2 vertex;

out vec2 gridPosition;

void main() {
    gridPosition = vertex;
    gl_Position = vec4(vertex, 0.0, 1.0);
}
