// Light scattering, tessellation control (compiled after
// godRayScattering.glsl): chooses how finely each grid cell is subdivided.
// Each edge's level depends only on probes at its two ends and its middle,
// so neighbouring cells agree on it and the grid has no cracks. A cell whose
// probes all miss the beam is not drawn. Elsewhere an edge is split as finely
// as linear interpolation along it needs: the error of interpolating across
// the whole edge is the middle probe's distance from the mean of the ends,
// and splitting into n pieces divides a smooth error by about n * n. Where
// the error is a large part of the scattering (the beam starts or ends, a
// shaft's shadow, a silhouette in front of the beam) the scattering is not
// smooth there, and the edge takes the finest level. Errors are measured
// against the edge's brightest probe, or against a fraction of the adapted
// luminance that the frame is exposed for where the scattering is fainter
// than that: detail that faint does not show, and resolving it would spend
// most of the grid's vertices in the dark parts of the picture. Only these
// probes evaluate the scattering here; every tessellated vertex evaluates it
// again in the evaluation stage, and the fragment stage only interpolates
// (the scattering varies smoothly inside the refined cells, so per-vertex
// evaluation costs a fraction of per-pixel work).

layout(vertices = 4) out;

in vec2 gridPosition[];
out vec2 cornerPosition[];
// inverse(inverseLightCameraMatrix), once per cell for every vertex of it.
patch out mat4 lightCamera;

const float LEVEL_NONE = 1.0;
const float LEVEL_BEAM = 2.0;  // the least inside a beam
const float LEVEL_EDGE = 16.0; // the most
// Interpolation error, relative to the brightest probe of the edge, that
// the subdivision leaves; and the error beyond which the edge is taken as
// not smooth.
const float TOLERANCE = 0.02;
const float NOT_SMOOTH = 0.25;
// The fraction of the adapted luminance below which the scattering's errors
// are measured against it instead of the scattering itself.
const float VISIBLE = 0.1;

uniform sampler2D adaptedLuminance; // 1 x 1 in .r; 0 when not known

// The brightness that errors are measured against at the least.
float errorScale;

struct Probe {
    float value;
    bool inBeam;
};

Probe probe(vec2 ndc, mat4 lightCamera) {
    Probe p;
    vec3 s = scatteringAt(ndc, PROBE_STEPS, lightCamera, p.inBeam);
    p.value = dot(s, vec3(0.2126, 0.7152, 0.0722));
    return p;
}

// The level of an edge with probes a and c at its ends and b in its middle.
float level(Probe a, Probe b, Probe c) {
    bool touched = a.inBeam || b.inBeam || c.inBeam;
    if (!touched) {
        return LEVEL_NONE;
    }
    float most = max(a.value, max(b.value, c.value));
    float error = abs(b.value - 0.5 * (a.value + c.value)) / max(most, errorScale);
    float pieces = error > NOT_SMOOTH ? LEVEL_EDGE : ceil(sqrt(error / TOLERANCE));
    return clamp(pieces, LEVEL_BEAM, LEVEL_EDGE);
}

void main() {
    cornerPosition[gl_InvocationID] = gridPosition[gl_InvocationID];
    gl_out[gl_InvocationID].gl_Position = gl_in[gl_InvocationID].gl_Position;
    if (gl_InvocationID != 0) {
        return;
    }
    lightCamera = inverse(inverseLightCameraMatrix);
    float adapted = texelFetch(adaptedLuminance, ivec2(0), 0).r;
    errorScale = isnan(adapted) || isinf(adapted) ? 1.0e-6 : max(VISIBLE * adapted, 1.0e-6);
    // Corners 0..3 are (0, 0), (1, 0), (1, 1), (0, 1) of the cell.
    Probe c0 = probe(gridPosition[0], lightCamera);
    Probe c1 = probe(gridPosition[1], lightCamera);
    Probe c2 = probe(gridPosition[2], lightCamera);
    Probe c3 = probe(gridPosition[3], lightCamera);
    Probe left = probe(0.5 * (gridPosition[0] + gridPosition[3]), lightCamera);
    Probe bottom = probe(0.5 * (gridPosition[0] + gridPosition[1]), lightCamera);
    Probe right = probe(0.5 * (gridPosition[1] + gridPosition[2]), lightCamera);
    Probe top = probe(0.5 * (gridPosition[3] + gridPosition[2]), lightCamera);
    Probe centre = probe(0.25 * (gridPosition[0] + gridPosition[1] + gridPosition[2] +
                                 gridPosition[3]), lightCamera);
    // A cell whose probes all miss the beam adds nothing: it is not drawn
    // at all (level 0 discards the patch), which saves its blending.
    bool touched = c0.inBeam || c1.inBeam || c2.inBeam || c3.inBeam || left.inBeam ||
                   bottom.inBeam || right.inBeam || top.inBeam || centre.inBeam;
    if (!touched) {
        gl_TessLevelOuter[0] = 0.0;
        gl_TessLevelOuter[1] = 0.0;
        gl_TessLevelOuter[2] = 0.0;
        gl_TessLevelOuter[3] = 0.0;
        gl_TessLevelInner[0] = 0.0;
        gl_TessLevelInner[1] = 0.0;
        return;
    }
    gl_TessLevelOuter[0] = level(c0, left, c3);
    gl_TessLevelOuter[1] = level(c0, bottom, c1);
    gl_TessLevelOuter[2] = level(c1, right, c2);
    gl_TessLevelOuter[3] = level(c3, top, c2);
    float inner = max(max(gl_TessLevelOuter[0], gl_TessLevelOuter[1]),
                      max(gl_TessLevelOuter[2], gl_TessLevelOuter[3]));
    inner = max(inner, max(level(left, centre, right), level(bottom, centre, top)));
    gl_TessLevelInner[0] = inner;
    gl_TessLevelInner[1] = inner;
}
