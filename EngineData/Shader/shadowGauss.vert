// Shadow-map blur, vertex stage: a polygon of COVER_SIDES sides around the
// disc of radius coverRadius (normalised device coordinates) at the map's
// centre, drawn as COVER_SIDES triangles from gl_VertexID alone; texCoord
// spans the map from 0 to 1. A spot light's cone is such a disc in its map
// and nothing reads the texels outside it, so the blur leaves them alone; a
// radius of sqrt(2) or more covers the whole map. The prefix supplies the
// #version line and COVER_SIDES (ShadowGaussShader::CoverSides).

uniform float coverRadius;

out vec2 texCoord;

void main() {
    // Triangle i has the centre and the polygon's corners i and i + 1; the
    // corners lie outside the disc so that the sides touch it.
    int corner = gl_VertexID % 3;
    int side = gl_VertexID / 3 + (corner == 2 ? 1 : 0);
    float angle = 6.28318530718 * float(side) / float(COVER_SIDES);
    float reach = coverRadius / cos(3.14159265359 / float(COVER_SIDES));
    vec2 at = corner == 0 ? vec2(0.0) : vec2(cos(angle), sin(angle)) * reach;
    texCoord = at * 0.5 + 0.5;
    gl_Position = vec4(at, 0.0, 1.0);
}
