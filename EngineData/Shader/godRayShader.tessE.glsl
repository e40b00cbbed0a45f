// Light scattering, tessellation evaluation (compiled after
// godRayScattering.glsl): every vertex of the refined grid evaluates the
// scattered light of its view ray; the fragment stage interpolates it.

layout(quads, equal_spacing, ccw) in;

in vec2 cornerPosition[];
patch in mat4 lightCamera;

out vec3 scattered;

void main() {
    vec2 u = gl_TessCoord.xy;
    vec2 ndc = mix(mix(cornerPosition[0], cornerPosition[1], u.x),
                   mix(cornerPosition[3], cornerPosition[2], u.x), u.y);
    bool inBeam;
    scattered = scatteringAt(ndc, STEPS, lightCamera, inBeam);
    gl_Position = vec4(ndc, 0.0, 1.0);
}
