#version 400 core
// Debug lines and points: world-space vertices projected to clip space.

uniform mat4 cameraMatrix; // world to clip

in vec4 vertex;

void main() {
    gl_Position = cameraMatrix * vertex;
}
