#version 400 core
// Writes the G-buffer: diffuse colour, specular colour with shininess / 255 in
// alpha, world normal with w = 1 (geometry present), emission factor.

in vec3 worldNormal;

uniform vec3 diffuseColor;
uniform vec3 specularColor;
uniform uint shininess;
uniform float emit;

out vec4 fragDiffuse;
out vec4 fragSpecular;
out vec4 fragNormal;
out vec4 fragEmit;

void main() {
    fragDiffuse = vec4(diffuseColor, 1.0);
    fragSpecular = vec4(specularColor, float(min(shininess, 255u)) / 255.0);
    fragNormal = vec4(normalize(worldNormal), 1.0);
    fragEmit = vec4(emit, 0.0, 0.0, 1.0);
}
