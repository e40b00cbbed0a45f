#version 400
// Displaced deferred material: diffuse texture times the diffuse colour.
// G-buffer outputs as in colored.frag.

uniform sampler2D colorTexture; // unit 0, sRGB
uniform vec3 diffuseColor;
uniform float emit;
uniform vec3 specularColor;
uniform uint shininess;

in vec3 worldNormal;
in vec2 colorCoord;

out vec4 fragDiffuse;
out vec4 fragSpecular;
out vec4 fragNormal;
out float fragEmit;

void main() {
    fragDiffuse = vec4(texture(colorTexture, colorCoord).rgb * diffuseColor, 1.0);
    fragSpecular = vec4(specularColor, float(min(shininess, 255u)) / 255.0);
    fragNormal = vec4(normalize(worldNormal), 1.0);
    fragEmit = emit;
}
