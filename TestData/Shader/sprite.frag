#version 400 core
// Icon sprites textured with colorTexture and blended by its alpha; dropped
// where the scene's depth at this window pixel lies in front of the icon.

uniform sampler2D colorTexture;
uniform sampler2D depthTexture; // the scene's depth, same size as the window

in vec2 texCoord;

out vec4 fragColor;

void main() {
    vec4 texel = texture(colorTexture, texCoord);
    // Clear texels must not hide overlays drawn after the icon.
    if (texel.a < 0.01 ||
        gl_FragCoord.z > texelFetch(depthTexture, ivec2(gl_FragCoord.xy), 0).r) {
        discard;
    }
    fragColor = texel;
}
