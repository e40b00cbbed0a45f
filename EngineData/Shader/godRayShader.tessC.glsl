// Light scattering, tessellation control (compiled after
// godRayScattering.glsl): chooses how finely each grid cell is subdivided.
// Each edge's level depends only on probes at its two ends and its middle,
// so neighbouring cells agree on it and the grid has no cracks. A cell whose
// probes all miss the beam is not drawn; inside a beam it is split 4 x 4; where
// the beam starts or ends, the scattering changes by more than a fifth, or
// the depth jumps (silhouettes in front of the beam), 16 x 16. Only these
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
const float LEVEL_BEAM = 4.0;
const float LEVEL_EDGE = 16.0;

struct Probe {
    float value;
    bool inBeam;
    float rayLength;
};

Probe probe(vec2 ndc, mat4 lightCamera) {
    Probe p;
    vec3 s = scatteringAt(ndc, PROBE_STEPS, lightCamera, p.inBeam, p.rayLength);
    p.value = dot(s, vec3(0.2126, 0.7152, 0.0722));
    return p;
}

float level(Probe a, Probe b, Probe c) {
    bool touched = a.inBeam || b.inBeam || c.inBeam;
    if (!touched) {
        return LEVEL_NONE;
    }
    bool whole = a.inBeam && b.inBeam && c.inBeam;
    float most = max(a.value, max(b.value, c.value));
    float least = min(a.value, min(b.value, c.value));
    float longest = max(a.rayLength, max(b.rayLength, c.rayLength));
    float shortest = min(a.rayLength, min(b.rayLength, c.rayLength));
    bool changes = !whole || most - least > 0.2 * most || longest > 1.1 * shortest;
    return changes ? LEVEL_EDGE : LEVEL_BEAM;
}

void main() {
    cornerPosition[gl_InvocationID] = gridPosition[gl_InvocationID];
    gl_out[gl_InvocationID].gl_Position = gl_in[gl_InvocationID].gl_Position;
    if (gl_InvocationID != 0) {
        return;
    }
    lightCamera = inverse(inverseLightCameraMatrix);
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
