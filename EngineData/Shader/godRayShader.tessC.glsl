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
// evaluation costs a fraction of per-pixel work). The four invocations of a
// cell share the probes out, two each (the first also takes the centre), and
// the first chooses the levels from all of them.

layout(vertices = 4) out;

in vec2 gridPosition[];
out vec2 cornerPosition[];
// Invocation i's probes, as (luminance, 1 where the ray meets the beam): at
// corner i, and at the middle of the edge from corner i to corner i + 1.
out vec2 cornerProbe[];
out vec2 edgeProbe[];
// inverse(inverseLightCameraMatrix), handed on once per cell to every vertex
// of it.
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

vec2 probe(vec2 ndc, mat4 lightCamera) {
    bool inBeam;
    vec3 s = scatteringAt(ndc, PROBE_STEPS, lightCamera, inBeam);
    return vec2(dot(s, vec3(0.2126, 0.7152, 0.0722)), inBeam ? 1.0 : 0.0);
}

Probe unpack(vec2 p) {
    Probe result;
    result.value = p.x;
    result.inBeam = p.y > 0.5;
    return result;
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
    // Corners 0..3 are (0, 0), (1, 0), (1, 1), (0, 1) of the cell.
    mat4 camera = inverse(inverseLightCameraMatrix);
    vec2 corner = gridPosition[gl_InvocationID];
    vec2 next = gridPosition[(gl_InvocationID + 1) % 4];
    cornerProbe[gl_InvocationID] = probe(corner, camera);
    edgeProbe[gl_InvocationID] = probe(0.5 * (corner + next), camera);
    barrier();
    if (gl_InvocationID != 0) {
        return;
    }
    lightCamera = camera;
    float adapted = texelFetch(adaptedLuminance, ivec2(0), 0).r;
    errorScale = isnan(adapted) || isinf(adapted) ? 1.0e-6 : max(VISIBLE * adapted, 1.0e-6);
    Probe c0 = unpack(cornerProbe[0]);
    Probe c1 = unpack(cornerProbe[1]);
    Probe c2 = unpack(cornerProbe[2]);
    Probe c3 = unpack(cornerProbe[3]);
    Probe bottom = unpack(edgeProbe[0]);
    Probe right = unpack(edgeProbe[1]);
    Probe top = unpack(edgeProbe[2]);
    Probe left = unpack(edgeProbe[3]);
    Probe centre = unpack(probe(0.25 * (gridPosition[0] + gridPosition[1] + gridPosition[2] +
                                        gridPosition[3]), camera));
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
