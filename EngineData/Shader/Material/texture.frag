#version 400 core
// The diffuse texture (sRGB, read linear) tinted by the diffuse colour.

in vec3 worldNormal;
in vec2 uv;

uniform sampler2D colorTexture;
uniform vec3 diffuseColor;
uniform vec3 specularColor;
uniform uint shininess;
uniform float emit;

out vec4 fragDiffuse;
out vec4 fragSpecular;
out vec4 fragNormal;
out vec4 fragEmit;

void main() {
    fragDiffuse = vec4(texture(colorTexture, uv).rgb * diffuseColor, 1.0);
    fragSpecular = vec4(specularColor, float(min(shininess, 255u)) / 255.0);
    fragNormal = vec4(normalize(worldNormal), 1.0);
    fragEmit = vec4(emit, 0.0, 0.0, 1.0);
}
