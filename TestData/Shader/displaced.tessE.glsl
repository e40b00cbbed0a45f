#version 400
// Displaced deferred material: places each generated vertex on the triangle,
// moves it along the smooth normal by the displacement texture (so that
// triangles sharing a position move together) and projects it.

layout(triangles, equal_spacing, ccw) in;

const float HEIGHT = 0.1; // displacement of a texel value of 1, object units

uniform mat4 matrix;                   // object to world
uniform mat4 cameraMatrix;             // world to clip
uniform sampler2D displacementTexture; // unit 2

in vec3 evalPosition[];
in vec3 evalNormal[];
in vec3 evalSmoothNormal[];
in vec2 evalColorCoord[];
in vec2 evalDisplacementCoord[];

out vec3 worldNormal;
out vec2 colorCoord;

vec3 blend3(vec3 a, vec3 b, vec3 c) {
    return gl_TessCoord.x * a + gl_TessCoord.y * b + gl_TessCoord.z * c;
}

vec2 blend2(vec2 a, vec2 b, vec2 c) {
    return gl_TessCoord.x * a + gl_TessCoord.y * b + gl_TessCoord.z * c;
}

void main() {
    vec3 position = blend3(evalPosition[0], evalPosition[1], evalPosition[2]);
    vec3 smoothNormal = normalize(blend3(evalSmoothNormal[0], evalSmoothNormal[1],
                                         evalSmoothNormal[2]));
    vec2 displacementCoord = blend2(evalDisplacementCoord[0], evalDisplacementCoord[1],
                                    evalDisplacementCoord[2]);
    position += smoothNormal * texture(displacementTexture, displacementCoord).r * HEIGHT;

    worldNormal = transpose(inverse(mat3(matrix))) *
                  blend3(evalNormal[0], evalNormal[1], evalNormal[2]);
    colorCoord = blend2(evalColorCoord[0], evalColorCoord[1], evalColorCoord[2]);
    gl_Position = cameraMatrix * (matrix * vec4(position, 1.0));
}
