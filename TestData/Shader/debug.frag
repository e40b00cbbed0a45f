#version 400 core
// Debug lines and points in one colour, dropped where the scene's depth at
// this window pixel lies in front of them.

uniform vec3 diffuseColor;
uniform sampler2D depthTexture; // the scene's depth, same size as the window

out vec4 fragColor;

void main() {
    if (gl_FragCoord.z > texelFetch(depthTexture, ivec2(gl_FragCoord.xy), 0).r) {
        discard;
    }
    fragColor = vec4(diffuseColor, 1.0);
}
