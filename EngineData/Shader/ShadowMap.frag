// Shadow-map pass, fragment stage: for point lights, writes the normalised
// distance to the light as depth; for spot lights, both moments of it
// (d, d * d), leaving the depth test to the rasterised depth so that it can
// run before shading. Encoding: see ShadowMap.vert.

uniform vec2 nearAndFarPlane;
uniform vec4 wsLightPos;

#ifdef CUBEMAP
in vec3 faceWorldPosition;
#else
in vec3 worldPosition;
#endif

out vec4 fragDoment2;

void main() {
#ifdef CUBEMAP
    gl_FragDepth = clamp(length(faceWorldPosition - wsLightPos.xyz) / nearAndFarPlane.y, 0.0, 1.0);
    fragDoment2 = vec4(0.0);
#else
    float d = clamp((length(worldPosition - wsLightPos.xyz) - nearAndFarPlane.x) /
                        (nearAndFarPlane.y - nearAndFarPlane.x), 0.0, 1.0);
    fragDoment2 = vec4(d, d * d, 0.0, 1.0);
#endif
}
