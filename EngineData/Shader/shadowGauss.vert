// Shadow-map blur, vertex stage: the effect plane's corners in normalised
// device coordinates; texCoord spans the map from 0 to 1. The prefix supplies
// the #version line.

in vec2 vertex;

out vec2 texCoord;

void main() {
    texCoord = vertex * 0.5 + 0.5;
    gl_Position = vec4(vertex, 0.0, 1.0);
}
