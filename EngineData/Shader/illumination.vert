#version 400 core
// Full-screen pass of the lighting (as quad.vert), which also prepares the
// reconstruction of world positions from depth. A pixel at normalised device
// coordinates (x, y, z) lies at inverseCameraMatrix * (x, y, z, 1), which is
// (x, y, 0, 1) transformed, plus z times the matrix's third column. The first
// term is linear across the screen, so it is interpolated from the corners
// (without perspective); the fragment stage adds the depth term and divides.
// That saves every pixel a matrix product.

in vec2 vertex;

out vec2 texCoord;
noperspective out vec4 worldAtZeroDepth; // inverseCameraMatrix * (x, y, 0, 1)
flat out vec4 worldPerDepth;              // inverseCameraMatrix * (0, 0, 1, 0)

uniform mat4 inverseCameraMatrix;

void main() {
    texCoord = vertex * 0.5 + 0.5;
    worldAtZeroDepth = inverseCameraMatrix * vec4(vertex, 0.0, 1.0);
    worldPerDepth = inverseCameraMatrix[2];
    gl_Position = vec4(vertex, 0.0, 1.0);
}
