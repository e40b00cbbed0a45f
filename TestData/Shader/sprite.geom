#version 400 core
// Grows each point into a screen-aligned quad reaching billBoardSize from the
// point in normalised device coordinates, at the point's depth, so an icon
// keeps its size on screen at any distance.

layout(points) in;
layout(triangle_strip, max_vertices = 4) out;

uniform vec2 billBoardSize; // half extents in normalised device coordinates

out vec2 texCoord;

void main() {
    vec4 centre = gl_in[0].gl_Position;
    // Points behind the camera have no place on screen.
    if (centre.w <= 0.0) {
        return;
    }
    // Counter-clockwise, so the quad survives back-face culling.
    const vec2 corners[4] = vec2[4](vec2(-1.0, -1.0), vec2(1.0, -1.0), vec2(-1.0, 1.0),
                                    vec2(1.0, 1.0));
    for (int i = 0; i < 4; ++i) {
        gl_Position = centre + vec4(corners[i] * billBoardSize * centre.w, 0.0, 0.0);
        texCoord = corners[i] * 0.5 + 0.5;
        EmitVertex();
    }
    EndPrimitive();
}
