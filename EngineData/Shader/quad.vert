#version 400 core
// Full-screen pass: the effect plane's corners arrive in normalised device
// coordinates; texCoord spans the render target from 0 to 1.

in vec2 vertex;

out vec2 texCoord;

void main() {
    texCoord = vertex * 0.5 + 0.5;
    gl_Position = vec4(vertex, 0.0, 1.0);
}
