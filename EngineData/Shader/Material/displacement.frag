#version 400 core
// Displacement-mapped material, last stage: shades with the normal map.

in vec3 worldNormal;
in vec4 worldTangent;
in vec2 uv;
in vec2 bumpUV;

uniform sampler2D colorTexture;
uniform sampler2D normalTexture;
uniform vec3 diffuseColor;
uniform vec3 specularColor;
uniform uint shininess;
uniform float emit;

out vec4 fragDiffuse;
out vec4 fragSpecular;
out vec4 fragNormal;
out vec4 fragEmit;

vec3 bumpedNormal(vec3 n, vec4 t, vec2 coord) {
    n = normalize(n);
    vec3 tangent = t.xyz - n * dot(n, t.xyz);
    if (dot(tangent, tangent) < 1.0e-8) {
        return n; // no usable tangent: keep the surface normal
    }
    tangent = normalize(tangent);
    vec3 bitangent = cross(n, tangent) * (t.w < 0.0 ? -1.0 : 1.0);
    vec3 local = texture(normalTexture, coord).xyz * 2.0 - 1.0;
    return normalize(mat3(tangent, bitangent, n) * local);
}

void main() {
    fragDiffuse = vec4(texture(colorTexture, uv).rgb * diffuseColor, 1.0);
    fragSpecular = vec4(specularColor, float(min(shininess, 255u)) / 255.0);
    fragNormal = vec4(bumpedNormal(worldNormal, worldTangent, bumpUV), 1.0);
    fragEmit = vec4(emit, 0.0, 0.0, 1.0);
}
