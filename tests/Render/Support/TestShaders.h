#pragma once

// Small GLSL programs for tests of the shader classes and of code that draws
// with them.

namespace TestShaders {

// Reads every vertex attribute, so that all of them are active.
inline char const* const fullVertex = R"(#version 330 core
in vec4 vertex;
in vec2 diffuseUV;
in vec3 normal;
in vec4 diffuseTangent;
in vec3 smoothNormal;
in vec2 displacementUV;
in vec2 normalUV;
in vec4 displacementTangent;
uniform mat4 matrix;
uniform mat4 cameraMatrix;
out vec4 mixed;
void main() {
    mixed = vec4(diffuseUV + displacementUV + normalUV, 0.0, 0.0) + diffuseTangent +
            displacementTangent + vec4(normal + smoothNormal, 0.0);
    gl_Position = cameraMatrix * matrix * vertex;
}
)";

// Uses every material uniform except depthTexture.
inline char const* const fullDeferredFragment = R"(#version 330 core
in vec4 mixed;
uniform vec3 diffuseColor;
uniform float emit;
uniform vec3 specularColor;
uniform uint shininess;
uniform sampler2D colorTexture;
uniform sampler2D normalTexture;
uniform sampler2D displacementTexture;
uniform vec4 cameraLocation;
uniform vec2 billBoardSize;
out vec4 fragDiffuse;
out vec4 fragSpecular;
out vec4 fragNormal;
out vec4 fragEmit;
void main() {
    fragDiffuse = vec4(diffuseColor, 1.0) * texture(colorTexture, mixed.xy);
    fragSpecular = vec4(specularColor, float(shininess));
    fragNormal = texture(normalTexture, mixed.zw) + texture(displacementTexture, mixed.xy) +
                 cameraLocation;
    fragEmit = vec4(emit, billBoardSize, 1.0);
}
)";

inline char const* const plainVertex = R"(#version 400 core
in vec4 vertex;
void main() {
    gl_Position = vertex;
}
)";

inline char const* const plainDeferredFragment = R"(#version 400 core
out vec4 fragDiffuse;
out vec4 fragSpecular;
out vec4 fragNormal;
out vec4 fragEmit;
void main() {
    fragDiffuse = vec4(1.0);
    fragSpecular = vec4(0.5);
    fragNormal = vec4(0.25);
    fragEmit = vec4(0.125);
}
)";

// Colour from the diffuseColor uniform.
inline char const* const colorForwardFragment = R"(#version 400 core
uniform vec3 diffuseColor;
out vec4 fragColor;
void main() {
    fragColor = vec4(diffuseColor, 1.0);
}
)";

inline char const* const plainGeometry = R"(#version 400 core
layout(triangles) in;
layout(triangle_strip, max_vertices = 3) out;
uniform vec2 billBoardSize;
void main() {
    for (int i = 0; i < 3; ++i) {
        gl_Position = gl_in[i].gl_Position + vec4(billBoardSize, 0.0, 0.0);
        EmitVertex();
    }
    EndPrimitive();
}
)";

inline char const* const plainTessControl = R"(#version 400 core
layout(vertices = 3) out;
uniform float emit;
void main() {
    gl_out[gl_InvocationID].gl_Position = gl_in[gl_InvocationID].gl_Position;
    gl_TessLevelOuter[0] = emit;
    gl_TessLevelOuter[1] = emit;
    gl_TessLevelOuter[2] = emit;
    gl_TessLevelInner[0] = emit;
}
)";

inline char const* const plainTessEvaluation = R"(#version 400 core
layout(triangles) in;
void main() {
    gl_Position = gl_TessCoord.x * gl_in[0].gl_Position + gl_TessCoord.y * gl_in[1].gl_Position +
                  gl_TessCoord.z * gl_in[2].gl_Position;
}
)";

} // namespace TestShaders
