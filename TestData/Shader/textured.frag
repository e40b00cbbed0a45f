#version 400
// Textured deferred material: diffuse texture times the diffuse colour, and a
// tangent-space normal map turned into a world-space normal. G-buffer
// outputs as in colored.frag.

uniform sampler2D colorTexture;  // unit 0, sRGB
uniform sampler2D normalTexture; // unit 1, linear, xyz in [0, 1]
uniform vec3 diffuseColor;
uniform float emit;
uniform vec3 specularColor;
uniform uint shininess;

in vec3 worldNormal;
in vec4 worldTangent;
in vec2 colorCoord;
in vec2 normalCoord;

out vec4 fragDiffuse;
out vec4 fragSpecular;
out vec4 fragNormal;
out float fragEmit;

void main() {
    vec3 n = normalize(worldNormal);
    vec3 t = normalize(worldTangent.xyz - n * dot(n, worldTangent.xyz));
    vec3 b = cross(n, t) * worldTangent.w;
    vec3 mapped = texture(normalTexture, normalCoord).xyz * 2.0 - 1.0;

    fragDiffuse = vec4(texture(colorTexture, colorCoord).rgb * diffuseColor, 1.0);
    fragSpecular = vec4(specularColor, float(min(shininess, 255u)) / 255.0);
    fragNormal = vec4(normalize(mat3(t, b, n) * mapped), 1.0);
    fragEmit = emit;
}
