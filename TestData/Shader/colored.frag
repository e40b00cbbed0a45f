#version 400
// Colour-only deferred material: writes the material's colours and the
// world-space normal into the G-buffer.
//   fragDiffuse  rgb diffuse colour (linear; the target stores it as sRGB)
//   fragSpecular rgb specular colour, a shininess / 255 (clamped)
//   fragNormal   xyz unit world-space normal, w 1 where a surface was drawn
//   fragEmit     emission factor

uniform vec3 diffuseColor;
uniform float emit;
uniform vec3 specularColor;
uniform uint shininess;

in vec3 worldNormal;

out vec4 fragDiffuse;
out vec4 fragSpecular;
out vec4 fragNormal;
out float fragEmit;

void main() {
    fragDiffuse = vec4(diffuseColor, 1.0);
    fragSpecular = vec4(specularColor, float(min(shininess, 255u)) / 255.0);
    fragNormal = vec4(normalize(worldNormal), 1.0);
    fragEmit = emit;
}
