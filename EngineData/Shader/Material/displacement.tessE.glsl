#version 400 core
// Moves each generated vertex along the interpolated smooth normal by the
// displacement map. Vertices shared by neighbouring faces have the same
// smooth normal and texture value, so the displaced surface stays closed.

layout(triangles, equal_spacing, ccw) in;

in vec3 tcPosition[];
in vec3 tcNormal[];
in vec3 tcSmoothNormal[];
in vec4 tcTangent[];
in vec2 tcUV[];
in vec2 tcBumpUV[];
in vec2 tcDisplacementUV[];

uniform mat4 cameraMatrix;
uniform sampler2D displacementTexture;

out vec3 worldNormal;
out vec4 worldTangent;
out vec2 uv;
out vec2 bumpUV;

// World units of displacement for a texel value of 1.
const float displacementScale = 0.15;

vec2 mix2(vec2 a, vec2 b, vec2 c) {
    return gl_TessCoord.x * a + gl_TessCoord.y * b + gl_TessCoord.z * c;
}

vec3 mix3(vec3 a, vec3 b, vec3 c) {
    return gl_TessCoord.x * a + gl_TessCoord.y * b + gl_TessCoord.z * c;
}

void main() {
    vec3 position = mix3(tcPosition[0], tcPosition[1], tcPosition[2]);
    vec3 smoothNormal = normalize(mix3(tcSmoothNormal[0], tcSmoothNormal[1], tcSmoothNormal[2]));
    vec2 displacementUV = mix2(tcDisplacementUV[0], tcDisplacementUV[1], tcDisplacementUV[2]);
    float height = textureLod(displacementTexture, displacementUV, 0.0).r;
    position += smoothNormal * height * displacementScale;

    worldNormal = mix3(tcNormal[0], tcNormal[1], tcNormal[2]);
    vec4 t = gl_TessCoord.x * tcTangent[0] + gl_TessCoord.y * tcTangent[1] +
             gl_TessCoord.z * tcTangent[2];
    worldTangent = vec4(t.xyz, tcTangent[0].w);
    uv = mix2(tcUV[0], tcUV[1], tcUV[2]);
    bumpUV = mix2(tcBumpUV[0], tcBumpUV[1], tcBumpUV[2]);
    gl_Position = cameraMatrix * vec4(position, 1.0);
}
