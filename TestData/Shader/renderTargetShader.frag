#version 400 core
// Render-target inset: a G-buffer normal texture, world-space unit normals
// shown as colours (each axis from -1 to 1 mapped to 0 to 1).

uniform sampler2D colorTexture;

in vec2 texCoord;

out vec4 fragColor;

void main() {
    vec3 normal = texture(colorTexture, texCoord).xyz;
    fragColor = vec4(normal * 0.5 + 0.5, 1.0);
}
