#version 400 core
// FXAA 3.11, quality preset 12: finds edges by the local contrast of luma,
// walks along each edge to its ends and blends across it by the distance to
// the nearer end; sub-pixel aliasing is softened by a low-pass on the 3 x 3
// neighbourhood. Luma is read from the alpha channel, where the tone mapper
// stored it in perceptual space (the colour itself is sampled linear).

in vec2 texCoord;
out vec4 fragColor;

uniform sampler2D colorTexture;
uniform vec2 sampleSize; // one texel

const float edgeThreshold = 0.166;
const float edgeThresholdMin = 0.0833;
const float subpixQuality = 0.75;
const int searchSteps = 5;
const float stepSizes[5] = float[](1.0, 1.5, 2.0, 4.0, 12.0);

float lumaAt(vec2 uv) {
    return textureLod(colorTexture, uv, 0.0).a;
}

void main() {
    vec2 uv = texCoord;
    vec4 centerSample = textureLod(colorTexture, uv, 0.0);
    vec3 center = centerSample.rgb;
    float lumaM = centerSample.a;
    float lumaS = textureLodOffset(colorTexture, uv, 0.0, ivec2(0, -1)).a;
    float lumaN = textureLodOffset(colorTexture, uv, 0.0, ivec2(0, 1)).a;
    float lumaW = textureLodOffset(colorTexture, uv, 0.0, ivec2(-1, 0)).a;
    float lumaE = textureLodOffset(colorTexture, uv, 0.0, ivec2(1, 0)).a;

    float rangeMax = max(lumaM, max(max(lumaN, lumaS), max(lumaW, lumaE)));
    float rangeMin = min(lumaM, min(min(lumaN, lumaS), min(lumaW, lumaE)));
    float range = rangeMax - rangeMin;
    // Low contrast: not an edge, leave the pixel as it is.
    if (range < max(edgeThresholdMin, rangeMax * edgeThreshold)) {
        fragColor = vec4(center, 1.0);
        return;
    }

    float lumaNW = textureLodOffset(colorTexture, uv, 0.0, ivec2(-1, 1)).a;
    float lumaNE = textureLodOffset(colorTexture, uv, 0.0, ivec2(1, 1)).a;
    float lumaSW = textureLodOffset(colorTexture, uv, 0.0, ivec2(-1, -1)).a;
    float lumaSE = textureLodOffset(colorTexture, uv, 0.0, ivec2(1, -1)).a;

    float lumaNS = lumaN + lumaS;
    float lumaWE = lumaW + lumaE;
    float lumaNWNE = lumaNW + lumaNE;
    float lumaSWSE = lumaSW + lumaSE;
    float lumaNWSW = lumaNW + lumaSW;
    float lumaNESE = lumaNE + lumaSE;

    // Edge orientation from second differences along both axes.
    float edgeHorz = abs(-2.0 * lumaW + lumaNWSW) + 2.0 * abs(-2.0 * lumaM + lumaNS) +
                     abs(-2.0 * lumaE + lumaNESE);
    float edgeVert = abs(-2.0 * lumaS + lumaSWSE) + 2.0 * abs(-2.0 * lumaM + lumaWE) +
                     abs(-2.0 * lumaN + lumaNWNE);
    bool horzSpan = edgeHorz >= edgeVert;

    // Sub-pixel low-pass amount from the 3 x 3 average.
    float subpixA = (2.0 * (lumaNS + lumaWE) + lumaNWSW + lumaNESE) / 12.0;
    float subpixB = clamp(abs(subpixA - lumaM) / range, 0.0, 1.0);
    float subpixC = (-2.0 * subpixB + 3.0) * subpixB * subpixB;
    float subpix = subpixC * subpixC * subpixQuality;

    // Choose the side of the edge with the steeper gradient.
    float lumaNeg = horzSpan ? lumaS : lumaW;
    float lumaPos = horzSpan ? lumaN : lumaE;
    float gradientNeg = abs(lumaNeg - lumaM);
    float gradientPos = abs(lumaPos - lumaM);
    float lengthSign = horzSpan ? sampleSize.y : sampleSize.x;
    bool negSide = gradientNeg >= gradientPos;
    float gradient = max(gradientNeg, gradientPos);
    float lumaLocalAverage;
    if (negSide) {
        lengthSign = -lengthSign;
        lumaLocalAverage = 0.5 * (lumaNeg + lumaM);
    } else {
        lumaLocalAverage = 0.5 * (lumaPos + lumaM);
    }

    // Start half a texel over, on the edge itself, and walk both ways.
    vec2 posB = uv;
    if (horzSpan) {
        posB.y += lengthSign * 0.5;
    } else {
        posB.x += lengthSign * 0.5;
    }
    vec2 offNP = horzSpan ? vec2(sampleSize.x, 0.0) : vec2(0.0, sampleSize.y);
    float gradientScaled = gradient * 0.25;

    vec2 posN = posB - offNP;
    vec2 posP = posB + offNP;
    float lumaEndN = lumaAt(posN) - lumaLocalAverage;
    float lumaEndP = lumaAt(posP) - lumaLocalAverage;
    bool doneN = abs(lumaEndN) >= gradientScaled;
    bool doneP = abs(lumaEndP) >= gradientScaled;
    for (int i = 0; i < searchSteps && !(doneN && doneP); ++i) {
        if (!doneN) {
            posN -= offNP * stepSizes[i];
            lumaEndN = lumaAt(posN) - lumaLocalAverage;
            doneN = abs(lumaEndN) >= gradientScaled;
        }
        if (!doneP) {
            posP += offNP * stepSizes[i];
            lumaEndP = lumaAt(posP) - lumaLocalAverage;
            doneP = abs(lumaEndP) >= gradientScaled;
        }
    }

    float distN = horzSpan ? (uv.x - posN.x) : (uv.y - posN.y);
    float distP = horzSpan ? (posP.x - uv.x) : (posP.y - uv.y);
    bool nearerN = distN < distP;
    float dist = min(distN, distP);
    float spanLength = distN + distP;

    // Blend only when the luma at the nearer end crosses to the other side of
    // the local average than the centre does (the edge really ends there).
    bool centerBelow = lumaM - lumaLocalAverage < 0.0;
    bool goodSpan = ((nearerN ? lumaEndN : lumaEndP) < 0.0) != centerBelow;
    float pixelOffset = goodSpan ? (0.5 - dist / spanLength) : 0.0;
    float finalOffset = max(pixelOffset, subpix);

    vec2 finalUv = uv;
    if (horzSpan) {
        finalUv.y += finalOffset * lengthSign;
    } else {
        finalUv.x += finalOffset * lengthSign;
    }
    fragColor = vec4(textureLod(colorTexture, finalUv, 0.0).rgb, 1.0);
}
