#version 400 core
// Icon sprites: each world-space point goes to clip space; the geometry
// stage grows it into a quad.

uniform mat4 cameraMatrix; // world to clip

in vec4 vertex;

void main() {
    gl_Position = cameraMatrix * vertex;
}
